handset_bench(StartupBench DEPENDS)
# The baseline it launches as it launches the game: the least an OpenGL ES 1 program does
# to present one frame.
add_executable(bench_minimal_egl_frame ${CMAKE_CURRENT_SOURCE_DIR}/MinimalEglFrame.cpp)
target_link_libraries(bench_minimal_egl_frame PRIVATE PkgConfig::EGL PkgConfig::GLESV1)
add_dependencies(bench_StartupBench quorvane pack_archive bench_minimal_egl_frame)
target_compile_definitions(bench_StartupBench PRIVATE QUORVANE_PROGRAM="$<TARGET_FILE:quorvane>"
                                                      PACK_ARCHIVE_TOOL="$<TARGET_FILE:pack_archive>"
                                                      MINIMAL_EGL_FRAME="$<TARGET_FILE:bench_minimal_egl_frame>"
                                                      HANDSET_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
