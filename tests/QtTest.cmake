# vistrel_qt_test(<folder> <name> SOURCES ... LIBRARIES ... [SCALES ...] [SCREENS ...])
# builds <folder>_<name>_tests, a Qt Test program, and runs it as <folder>.<name> on the offscreen
# platform, so it needs no display. With SCALES it runs once at each scale factor (tests at a scale
# other than 1 are named <folder>.<name>.scale-<factor>); with SCREENS once more on each screen
# described by screens/<screen>.json beside the calling CMakeLists.txt, at scale 1.
function(vistrel_qt_test folder name)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;LIBRARIES;SCALES;SCREENS")
  set(target ${folder}_${name}_tests)
  set(test_name ${folder}.${name})
  add_executable(${target} ${arg_SOURCES})
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} Qt6::Test)
  if(NOT arg_SCALES)
    add_test(NAME ${test_name} COMMAND ${target})
    set_tests_properties(${test_name} PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  endif()
  foreach(scale IN LISTS arg_SCALES)
    set(scaled_name ${test_name})
    if(NOT scale STREQUAL "1")
      set(scaled_name ${test_name}.scale-${scale})
    endif()
    add_test(NAME ${scaled_name} COMMAND ${target})
    set_tests_properties(${scaled_name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=${scale}")
  endforeach()
  foreach(screen IN LISTS arg_SCREENS)
    add_test(NAME ${test_name}.screen-${screen} COMMAND ${target})
    set_tests_properties(${test_name}.screen-${screen} PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/screens/${screen}.json")
  endforeach()
endfunction()
