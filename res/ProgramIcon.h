#pragma once

class QIcon;

namespace vistrel {

// The program icon, a lake among mountains, in every size the resources hold.
QIcon ProgramIcon();

}  // namespace vistrel
