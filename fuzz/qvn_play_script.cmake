handset_fuzz(qvn_play_script DEPENDS)
# The tools are not built for fuzzing: the script reader is compiled in.
foreach(target fuzz_qvn_play_script replay_qvn_play_script)
    if(TARGET ${target})
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tools/qvn_play/PlayScript.cpp)
    endif()
endforeach()
