# Installs the build into a temporary prefix and starts the installed programs from another
# folder: they must find the catalogue and the guides installed with them, and speak the
# desktop's language. Called by CTest as:
# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -P this
cmake_minimum_required(VERSION 3.25)
include(${SOURCE_DIR}/tests/cli/cli_test_support.cmake)

set(prefix ${WORK_DIR}/prefix)
set(elsewhere ${WORK_DIR}/elsewhere)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${elsewhere})

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${out}${err}")
endif()

foreach(file bin/kiro bin/kiro-cli share/kiro/glass.dat share/kiro/help/kiro.htm
        share/kiro/help/kiro.en.htm
        share/kiro/examples/newtonian-200-f5.OPT
        share/kiro/examples/designed/schmidt-cassegrain-200-f10.OPT
        share/applications/kiro.desktop share/icons/hicolor/scalable/apps/kiro.svg
        share/mime/packages/kiro.xml)
    if(NOT EXISTS ${prefix}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
file(READ ${prefix}/share/applications/kiro.desktop desktop)
expect_contains("${desktop}" "Exec=kiro %f\n")
expect_contains("${desktop}" "MimeType=application/x-kiro-design;\n")
file(READ ${prefix}/share/mime/packages/kiro.xml mime)
expect_contains("${mime}" "<mime-type type=\"application/x-kiro-design\">")
expect_contains("${mime}" "<glob pattern=\"*.OPT\"")

# kiro, started offscreen from a folder without a catalogue, reports what it found once
# its window is painted, then quits: on a bare machine's locale in Japanese with the
# Japanese guide, on an English desktop in English with the English one.
file(STRINGS ${SOURCE_DIR}/data/glass.dat glasses REGEX "[^ \t]")
list(LENGTH glasses glass_count)
foreach(run "C;ja;kiro.htm" "en_US.UTF-8;en;kiro.en.htm")
    list(GET run 0 locale)
    list(GET run 1 language)
    list(GET run 2 guide)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=LANGUAGE LC_ALL=${locale}
                QT_QPA_PLATFORM=offscreen KIRO_STARTUP_REPORT=1
                ${prefix}/bin/kiro ${prefix}/share/kiro/examples/designed/doublet-100-f9.OPT
        WORKING_DIRECTORY ${elsewhere} TIMEOUT 120
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "installed kiro failed under ${locale} (${code}):\n${out}${err}")
    endif()
    expect_equal("${out}" "catalogue ${glass_count} ${prefix}/share/kiro/glass.dat
language ${language}
guide ${prefix}/share/kiro/help/${guide}
design 5
")
endforeach()

# kiro-cli finds the same catalogue: the doublet's glasses are looked up by name.
execute_process(
    COMMAND ${prefix}/bin/kiro-cli design refractor --type doublet --aperture 80 --fnum 8
            --glass1 N-BK7 --glass2 F2 -o ${elsewhere}/doublet.OPT
    WORKING_DIRECTORY ${elsewhere}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "installed kiro-cli failed (${code}):\n${out}${err}")
endif()
file(READ ${elsewhere}/doublet.OPT design)
expect_match("${design}" "\nN-BK7\r?\n")
