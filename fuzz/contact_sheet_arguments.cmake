handset_fuzz(contact_sheet_arguments DEPENDS platform_screen PkgConfig::FREETYPE)
# The tools are not built for fuzzing: the option reader is compiled in.
foreach(target fuzz_contact_sheet_arguments replay_contact_sheet_arguments)
    if(TARGET ${target})
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tools/level_contact_sheet/ContactSheet.cpp)
    endif()
endforeach()
