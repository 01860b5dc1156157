"""Runs the web page's tests (tests/web/test_*.py) and closes with one 'N passed, N failed'
line; exits 1 if any failed. Names of test cases or methods given run alone."""

import pathlib
import sys
import unittest

HERE = pathlib.Path(__file__).parent
sys.path.insert(0, str(HERE))

if __name__ == "__main__":
    loader = unittest.TestLoader()
    if len(sys.argv) > 1:
        suite = loader.loadTestsFromNames(sys.argv[1:])
    else:
        suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))
    outcome = unittest.TextTestRunner(verbosity=2).run(suite)
    failed = len(outcome.failures) + len(outcome.errors)
    print(f"web: {outcome.testsRun - failed} passed, {failed} failed")
    sys.exit(0 if outcome.wasSuccessful() else 1)
