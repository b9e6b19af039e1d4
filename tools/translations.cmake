# The English translation of the desktop program's texts (translations/kiro_en.ts).
#   MODE=update: brings the .ts up to date with the texts of app/ (new texts unfinished,
#                vanished ones dropped), to be translated and committed.
#   MODE=check:  fails when the .ts is not what an update would leave, or when lrelease
#                reports an unfinished or untranslated text. CTest runs it.
# cmake -DLUPDATE=... [-DLRELEASE=... -DWORK_DIR=...] -DSOURCE_DIR=... -DTS_FILE=... -DMODE=... -P this
cmake_minimum_required(VERSION 3.25)

# Locations are left out so that the file changes only when a text does.
set(lupdate_options ${SOURCE_DIR}/app -I ${SOURCE_DIR} -extensions cpp,h -locations none
    -no-obsolete -source-language ja -target-language en)

function(run_lupdate ts)
    execute_process(COMMAND ${LUPDATE} ${lupdate_options} -ts ${ts}
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL 0 OR err MATCHES "[^ \n]")
        message(FATAL_ERROR "lupdate failed or warned (${code}):\n${out}${err}")
    endif()
    set(lupdate_report "${out}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "update")
    run_lupdate(${TS_FILE})
    message(STATUS "${lupdate_report}")
    return()
endif()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(copy ${WORK_DIR}/kiro_en.ts)
file(COPY_FILE ${TS_FILE} ${copy})
run_lupdate(${copy})
file(READ ${TS_FILE} committed)
file(READ ${copy} updated)
if(NOT committed STREQUAL updated)
    message(FATAL_ERROR "translations/kiro_en.ts is out of date with the texts of app/; "
        "build the target kiro_update_translations and translate what it marks unfinished.\n"
        "${lupdate_report}")
endif()
foreach(state unfinished obsolete vanished)
    if(committed MATCHES "type=\"${state}\"")
        message(FATAL_ERROR "translations/kiro_en.ts has ${state} entries")
    endif()
endforeach()

execute_process(COMMAND ${LRELEASE} ${TS_FILE} -qm ${WORK_DIR}/kiro_en.qm
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "lrelease failed (${code}):\n${out}${err}")
endif()
if(NOT out MATCHES "Generated [0-9]+ translation\\(s\\) \\([0-9]+ finished and 0 unfinished\\)"
   OR out MATCHES "Ignored|untranslated")
    message(FATAL_ERROR "lrelease reports texts left untranslated:\n${out}${err}")
endif()
message(STATUS "${lupdate_report}${out}")
