handset_fuzz(qvn_solve_arguments DEPENDS)
# The tools are not built for fuzzing: the option reader is compiled in.
foreach(target fuzz_qvn_solve_arguments replay_qvn_solve_arguments)
    if(TARGET ${target})
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tools/qvn_solve/SolveOptions.cpp)
    endif()
endforeach()
