handset_bench(MenuLoadBench DEPENDS game_menu kel_menu kel_widgets kel_files)
target_compile_definitions(bench_MenuLoadBench PRIVATE HANDSET_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
