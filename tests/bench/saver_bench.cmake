# The saver's benchmark (saver_benchmark.sh), Windows build only: the bare Win32 baseline it
# compares the saver with, and saver_probe, which finds the running saver window to end it
# with a message; the saver's end-to-end tests use saver_probe as well.
if(WIN32)
  add_executable(saver_bench_bare ${CMAKE_CURRENT_LIST_DIR}/saver_bench_bare.cpp)
  add_executable(saver_probe ${CMAKE_CURRENT_LIST_DIR}/saver_probe.cpp)
  target_link_libraries(saver_bench_bare PRIVATE user32)
  target_link_libraries(saver_probe PRIVATE user32)
endif()
