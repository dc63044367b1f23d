# Tests run without LeakSanitizer's exit check (see CMakeLists.txt beside this file).
set_tests_properties("FrameOnGlTest.PlayClearsToItsBrownFromTheSecondFrameAndDrawsTheResultsOverTheScene"
                     PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0:abort_on_error=0")
