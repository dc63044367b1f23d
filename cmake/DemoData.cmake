# The demo data as part of the build: data/ made by the data tools into the folders that the
# programs' folders on the handset hold (<output>/Calvane/, <output>/Quorvane/).
#
# handset_demo_data(<target> OUTPUT <folder> WORK <folder> [ALL])
#
# Every source becomes a custom command of its own, with the source and the tool that makes it
# as its inputs, so that a changed source remakes only what comes from it and the archive it
# goes into. What a source makes goes into a folder of its own under <work>/<archive>/made/
# (make_mesh, make_character and make_font write files whose names only the source knows);
# an archive is then put together afresh in <work>/<archive>/staged/ from the sources taken as
# they are and those folders, its caches baked and the folder packed (PackArchive.cmake).
# Lists of the sources are written at configure time and are inputs too, so that a source
# taken away remakes what held it, and a last step removes from <output> what no source makes
# any more.

set(HANDSET_DEMO_DATA_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/demo_data)

# Writes a list of names into a file whose time changes only when the list does: an input of
# the commands that make one file out of a whole folder.
function(_demo_data_list_file path)
    list(JOIN ARGN "\n" text)
    file(GENERATE OUTPUT ${path} CONTENT "${text}\n")
endfunction()

# The folder that what <source> (a path under data/) makes goes into, in the data build
# whose work folder is <work>: <work>/<archive>/made/<path of the source in it>/.
function(handset_demo_data_made work source variable)
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/data/game ${source})
    string(REGEX REPLACE "^archives/" "" relative ${relative})
    string(FIND ${relative} "/" slash)
    string(SUBSTRING ${relative} 0 ${slash} archive)
    math(EXPR slash "${slash} + 1")
    string(SUBSTRING ${relative} ${slash} -1 inside)
    set(${variable} ${work}/${archive}/made/${inside} PARENT_SCOPE)
endfunction()

# Sources that a tool makes one file of: the tool, and the extension of what it makes. Sprite
# sheets are the HUD atlases, frames, award badges and comic pages.
set(_DEMO_DATA_ONE_FILE.image make_image .tga)
set(_DEMO_DATA_ONE_FILE.sprites make_hud_textures .dds)
set(_DEMO_DATA_ONE_FILE.kansrc make_animation .kan)
set(_DEMO_DATA_ONE_FILE.tone make_wave .wav)
set(_DEMO_DATA_ONE_FILE.song make_xm .xm)
# Sources whose tool writes files that the source names (a font's image, page and glyph
# files, rendered from the DejaVu faces, after the source's own name; meshes; skeletons).
set(_DEMO_DATA_NAMED_FILES.font make_font)
set(_DEMO_DATA_NAMED_FILES.shapes make_mesh)
set(_DEMO_DATA_NAMED_FILES.character make_character)

# handset_demo_data_test(<test> <source>): a test of what the build's data build made of one
# source under data/game (its tool runs on the demo data as part of the build; the test reads
# what it made, tests/tools/data_build/MadeOutput.cmake).
function(handset_demo_data_test test source)
    handset_demo_data_made(${HANDSET_DEMO_DATA_WORK} ${source} made)
    add_test(NAME ${test} COMMAND ${CMAKE_COMMAND} -DMADE=${made}
                                  -P ${PROJECT_SOURCE_DIR}/tests/tools/data_build/MadeOutput.cmake)
endfunction()

# The custom command that makes what one source of an archive (or of the audio) makes, into
# its folder <made>; appends what it makes to the list named <outputs_variable>. True in
# <plain_variable> when the source goes into the archive as it is.
function(_demo_data_source input made outputs_variable plain_variable)
    get_filename_component(base ${input} NAME_WLE)
    get_filename_component(extension ${input} LAST_EXT)
    set(start COMMAND ${CMAKE_COMMAND} -E rm -rf ${made} COMMAND ${CMAKE_COMMAND} -E make_directory ${made})
    set(made_files "")
    set(is_plain FALSE)
    if(DEFINED _DEMO_DATA_ONE_FILE${extension})
        list(GET _DEMO_DATA_ONE_FILE${extension} 0 tool)
        list(GET _DEMO_DATA_ONE_FILE${extension} 1 made_extension)
        set(made_files ${made}/${base}${made_extension})
        set(run COMMAND ${tool} ${input} ${made_files})
    elseif(extension STREQUAL ".pathsrc")
        # A path animation and the cache the game would write of it.
        set(made_files ${made}/${base}.anim ${made}/${base}.pathanim)
        set(tool make_world_data)
        set(run COMMAND make_world_data pathanim ${input} ${made}/${base})
    elseif(extension STREQUAL ".cut")
        # A cut-scene script is checked as the game reads it and goes in as it is.
        get_filename_component(name ${input} NAME)
        set(made_files ${made}/${name})
        set(tool make_world_data)
        set(run COMMAND make_world_data cutscene ${input} COMMAND ${CMAKE_COMMAND} -E copy ${input} ${made}/${name})
    elseif(DEFINED _DEMO_DATA_NAMED_FILES${extension})
        set(tool ${_DEMO_DATA_NAMED_FILES${extension}})
        if(extension STREQUAL ".font")
            set(run COMMAND ${tool} ${input} ${made}/${base})
        else()
            set(run COMMAND ${tool} ${input} ${made})
        endif()
    else()
        set(is_plain TRUE)
    endif()
    set(${plain_variable} ${is_plain} PARENT_SCOPE)
    if(is_plain)
        return()
    endif()
    if(NOT made_files)
        # The names of what it makes are the source's own: a stamp beside the folder.
        set(made_files ${made}.made)
        list(APPEND run COMMAND ${CMAKE_COMMAND} -E touch ${made}.made)
    endif()
    file(RELATIVE_PATH shown ${PROJECT_SOURCE_DIR} ${input})
    add_custom_command(OUTPUT ${made_files} ${start} ${run} DEPENDS ${input} ${tool}
                       COMMENT "Making ${shown} with ${tool}" VERBATIM)
    set(${outputs_variable} ${${outputs_variable}} ${made_files} PARENT_SCOPE)
endfunction()

# One archive <archive> (a ".par") from the files of <folder>, with <work> for its folders.
# A file of <folder> that no tool makes anything of goes in as it is; the others are made.
# With AUDIO_ONLY every file must be a sound source.
function(_demo_data_archive folder archive work outputs_variable)
    cmake_parse_arguments(ARG "AUDIO_ONLY" "" "" ${ARGN})
    file(GLOB_RECURSE files RELATIVE ${folder} CONFIGURE_DEPENDS ${folder}/*)
    list(SORT files)
    set(made_outputs "")
    set(plain_files "")
    set(made_sources "")
    set(inputs "")
    foreach(file IN LISTS files)
        list(APPEND inputs ${folder}/${file})
        _demo_data_source(${folder}/${file} ${work}/made/${file} made_outputs plain)
        if(plain AND ARG_AUDIO_ONLY)
            # Only sounds are made into the audio archive: anything else is a mistake that
            # fails the data build when it is made, not the build of the programs.
            file(RELATIVE_PATH shown ${PROJECT_SOURCE_DIR} ${folder}/${file})
            add_custom_command(OUTPUT ${work}/made/${file}.refused
                               COMMAND ${CMAKE_COMMAND} -E echo "${shown} is neither a .tone nor a .song source."
                               COMMAND ${CMAKE_COMMAND} -E false VERBATIM)
            list(APPEND made_outputs ${work}/made/${file}.refused)
        elseif(plain)
            list(APPEND plain_files "[==[${file}]==]")
        else()
            list(APPEND made_sources "[==[${file}]==]")
        endif()
    endforeach()
    list(JOIN plain_files "\n    " plain_text)
    list(JOIN made_sources "\n    " made_text)
    file(GENERATE OUTPUT ${work}/contents.cmake
         CONTENT "# What goes into ${archive}: the files taken as they are, and the sources made into it.\nset(PLAIN_FILES\n    ${plain_text})\nset(MADE_SOURCES\n    ${made_text})\n")
    get_filename_component(name ${archive} NAME)
    add_custom_command(
        OUTPUT ${archive}
        COMMAND ${CMAKE_COMMAND} -DSOURCE=${folder} -DCONTENTS=${work}/contents.cmake -DMADE=${work}/made
                -DSTAGED=${work}/staged -DARCHIVE=${archive} -DKELVIEW=$<TARGET_FILE:kelview>
                -DPACK_ARCHIVE=$<TARGET_FILE:pack_archive>
                -DFILL_TEXTS=${PROJECT_SOURCE_DIR}/scripts/fill_language_texts.sh
                -P ${HANDSET_DEMO_DATA_SCRIPTS}/PackArchive.cmake
        DEPENDS ${inputs} ${made_outputs} ${work}/contents.cmake ${HANDSET_DEMO_DATA_SCRIPTS}/PackArchive.cmake
                ${PROJECT_SOURCE_DIR}/scripts/fill_language_texts.sh kelview pack_archive
        COMMENT "Packing ${name}" VERBATIM)
    set(${outputs_variable} ${${outputs_variable}} ${archive} PARENT_SCOPE)
endfunction()

function(handset_demo_data target)
    cmake_parse_arguments(ARG "ALL" "OUTPUT;WORK" "" ${ARGN})
    set(data ${PROJECT_SOURCE_DIR}/data)
    set(out ${ARG_OUTPUT})
    set(work ${ARG_WORK})
    set(outputs "")

    # The dialer's texts, CalvaneRes.dll, from their UTF-8 source.
    add_custom_command(OUTPUT ${out}/Calvane/CalvaneRes.dll
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/Calvane
                       COMMAND make_string_table ${data}/dialer/CalvaneRes.txt ${out}/Calvane/CalvaneRes.dll
                       DEPENDS ${data}/dialer/CalvaneRes.txt make_string_table
                       COMMENT "Making data/dialer/CalvaneRes.txt with make_string_table" VERBATIM)
    list(APPEND outputs ${out}/Calvane/CalvaneRes.dll)

    # The dialer's skin and layout packs: every folder data/dialer/packs/<name>/ becomes the
    # encrypted pack <name>.dat in the dialer's program folder.
    file(GLOB pack_folders LIST_DIRECTORIES true CONFIGURE_DEPENDS ${data}/dialer/packs/*)
    foreach(folder IN LISTS pack_folders)
        if(NOT IS_DIRECTORY ${folder})
            continue()
        endif()
        get_filename_component(name ${folder} NAME)
        file(GLOB_RECURSE files RELATIVE ${folder} CONFIGURE_DEPENDS ${folder}/*)
        list(SORT files)
        _demo_data_list_file(${work}/packs/${name}.files ${files})
        list(TRANSFORM files PREPEND ${folder}/)
        add_custom_command(OUTPUT ${out}/Calvane/${name}.dat
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/Calvane
                           COMMAND make_skin_pack ${folder} ${out}/Calvane/${name}.dat
                           DEPENDS ${files} ${work}/packs/${name}.files make_skin_pack
                           COMMENT "Making data/dialer/packs/${name} with make_skin_pack" VERBATIM)
        list(APPEND outputs ${out}/Calvane/${name}.dat)
    endforeach()

    # The game's archives: every folder data/game/archives/<name>/ becomes <name>.par in the
    # game's data folder: images painted, sprite sheets, fonts, meshes, characters and
    # animations made from their readable sources, every language of the text table filled,
    # the text meshes and skeletons of objects/ baked into the caches the game reads.
    file(GLOB archive_folders LIST_DIRECTORIES true CONFIGURE_DEPENDS ${data}/game/archives/*)
    foreach(folder IN LISTS archive_folders)
        if(IS_DIRECTORY ${folder})
            get_filename_component(name ${folder} NAME)
            _demo_data_archive(${folder} ${out}/Quorvane/data/${name}.par ${work}/${name} outputs)
        endif()
    endforeach()
    # The game's sounds and music: data/game/audio/ holds their readable sources (".tone" for
    # make_wave, ".song" for make_xm); the archive audio.par holds what they make.
    _demo_data_archive(${data}/game/audio ${out}/Quorvane/data/audio.par ${work}/audio outputs AUDIO_ONLY)

    # The player's own levels that come with the game, as they are, into the data folder's
    # customlevels/, where the custom level page lists them; the folder is made afresh.
    file(GLOB levels RELATIVE ${data}/game/customlevels CONFIGURE_DEPENDS ${data}/game/customlevels/*.qvn)
    list(SORT levels)
    _demo_data_list_file(${work}/customlevels.files ${levels})
    set(level_outputs ${levels})
    list(TRANSFORM level_outputs PREPEND ${out}/Quorvane/data/customlevels/)
    set(level_sources ${levels})
    list(TRANSFORM level_sources PREPEND ${data}/game/customlevels/)
    add_custom_command(OUTPUT ${level_outputs}
                       COMMAND ${CMAKE_COMMAND} -E rm -rf ${out}/Quorvane/data/customlevels
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/Quorvane/data/customlevels
                       COMMAND ${CMAKE_COMMAND} -E copy ${level_sources} ${out}/Quorvane/data/customlevels/
                       DEPENDS ${level_sources} ${work}/customlevels.files
                       COMMENT "Copying data/game/customlevels" VERBATIM)
    list(APPEND outputs ${level_outputs})

    # Files of data/game/program/ go into the game's program folder as they are.
    file(GLOB_RECURSE program_files RELATIVE ${data}/game/program CONFIGURE_DEPENDS ${data}/game/program/*)
    foreach(file IN LISTS program_files)
        get_filename_component(folder ${out}/Quorvane/${file} DIRECTORY)
        add_custom_command(OUTPUT ${out}/Quorvane/${file}
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                           COMMAND ${CMAKE_COMMAND} -E copy ${data}/game/program/${file} ${out}/Quorvane/${file}
                           DEPENDS ${data}/game/program/${file}
                           COMMENT "Copying data/game/program/${file}" VERBATIM)
        list(APPEND outputs ${out}/Quorvane/${file})
    endforeach()

    # What a source no longer makes leaves the output folder.
    set(kept ${outputs})
    list(TRANSFORM kept REPLACE "^${out}/" "")
    list(SORT kept)
    _demo_data_list_file(${work}/outputs.files ${kept})
    add_custom_command(OUTPUT ${work}/outputs.pruned
                       COMMAND ${CMAKE_COMMAND} -DFOLDER=${out} -DKEPT=${work}/outputs.files
                               -P ${HANDSET_DEMO_DATA_SCRIPTS}/Prune.cmake
                       COMMAND ${CMAKE_COMMAND} -E touch ${work}/outputs.pruned
                       DEPENDS ${work}/outputs.files
                       COMMENT "Removing what the demo data no longer holds" VERBATIM)

    if(ARG_ALL)
        add_custom_target(${target} ALL DEPENDS ${outputs} ${work}/outputs.pruned)
    else()
        add_custom_target(${target} DEPENDS ${outputs} ${work}/outputs.pruned)
    endif()
endfunction()
