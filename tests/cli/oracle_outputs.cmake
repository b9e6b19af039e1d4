# The program's outputs on every example, held against the fingerprints committed in
# tests/data/oracle-outputs.sha256: the designed examples rebuilt by their designers
# (compared with the committed files), every view's primitive list, the analyses' numbers
# ("%.17g", so a change in the last bit shows) and the optimizer's result. A faster tracer
# must leave all of them as they are.
# Called by CTest as: cmake -DKIRO_CLI=... -DSOURCE_DIR=... -DWORK_DIR=... -P this
# Add -DUPDATE=ON to rewrite the fingerprints after a deliberate change of output.
# Each run keeps its outputs in WORK_DIR/outputs; a run that matches the fingerprints keeps
# them as the baseline (WORK_DIR-baseline), so that a later run whose output changes can
# show the first line that differs.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

set(manifest ${SOURCE_DIR}/tests/data/oracle-outputs.sha256)
set(catalog ${SOURCE_DIR}/data/glass.dat)
set(baseline ${WORK_DIR}-baseline)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/outputs/designed)

set(lines "")
# One output: the exit status, standard output and, when named, a written file.
function(record key)
    cmake_parse_arguments(R "" "FILE" "ARGS" ${ARGN})
    execute_process(COMMAND ${KIRO_CLI} ${R_ARGS} --glass-file ${catalog}
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code MATCHES "^[0-9]+$" OR code GREATER 1)
        message(FATAL_ERROR "kiro-cli ${R_ARGS}: ${code}\n${err}")
    endif()
    set(text "exit ${code}\n${out}")
    file(WRITE ${WORK_DIR}/outputs/${key}.out "${text}")
    if(R_FILE)
        if(EXISTS ${R_FILE})
            file(READ ${R_FILE} written HEX)
            string(APPEND text "file ${written}\n")
            file(COPY_FILE ${R_FILE} ${WORK_DIR}/outputs/${key}.file)
        else()
            string(APPEND text "no file\n")
        endif()
    endif()
    string(SHA256 hash "${text}")
    set(lines "${lines}${key} ${hash}\n" PARENT_SCOPE)
endfunction()

# The designed examples, rebuilt from the argument lists of tools/make_examples.sh.
file(STRINGS ${SOURCE_DIR}/tools/make_examples.sh entries REGEX "^    \"[a-z0-9-]+\\|")
list(LENGTH entries count)
if(count LESS 10)
    message(FATAL_ERROR "found only ${count} designed examples in tools/make_examples.sh")
endif()
foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^    \"([^|]*)\\|[^|]*\\|([^\"]*)\".*" "\\1;\\2" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 arguments)
    separate_arguments(arguments UNIX_COMMAND "${arguments}")
    run_cli(0 design ${arguments} --glass-file ${catalog} -o ${WORK_DIR}/${name}.OPT)
    # The committed example holds the six digits files kept when it was made; the rebuilt
    # design keeps every digit and reads the same at six ("show" prints "%g").
    run_cli(0 show ${WORK_DIR}/${name}.OPT)
    set(rebuilt "${out}")
    run_cli(0 show ${SOURCE_DIR}/examples/designed/${name}.OPT)
    expect_equal("${rebuilt}" "${out}")
    file(COPY_FILE ${WORK_DIR}/${name}.OPT ${WORK_DIR}/outputs/designed/${name}.file)
    file(READ ${WORK_DIR}/${name}.OPT written HEX)
    string(SHA256 hash "file ${written}\n")
    set(lines "${lines}designed/${name} ${hash}\n")
endforeach()

file(GLOB designs ${SOURCE_DIR}/examples/*.OPT ${SOURCE_DIR}/examples/designed/*.OPT)
list(SORT designs)
foreach(design IN LISTS designs)
    get_filename_component(name ${design} NAME_WE)
    get_filename_component(folder ${design} DIRECTORY)
    get_filename_component(folder ${folder} NAME)
    set(id ${folder}/${name})
    record(${id}/info ARGS info ${design})
    record(${id}/spot ARGS spot ${design})
    record(${id}/spot-pitch ARGS spot ${design} --grid-pitch 7 --heights 0,3.5,9)
    foreach(view layout spot curves light)
        record(${id}/render-${view} FILE ${WORK_DIR}/${view}.txt
            ARGS render ${view} ${design} -o ${WORK_DIR}/${view}.txt)
        file(REMOVE ${WORK_DIR}/${view}.txt)
    endforeach()
    record(${id}/render-layout-tilted FILE ${WORK_DIR}/tilted.txt
        ARGS render layout ${design} --rays 20 --angle 0.7 -o ${WORK_DIR}/tilted.txt)
    record(${id}/render-layout-source FILE ${WORK_DIR}/source.txt
        ARGS render layout ${design} --source 3,0,5000 -o ${WORK_DIR}/source.txt)
    record(${id}/render-spot-airy FILE ${WORK_DIR}/airy.txt
        ARGS render spot ${design} --airy --lines C,d,F,h --mag 2000 -o ${WORK_DIR}/airy.txt)
    foreach(line C d F h)
        foreach(height 0.05 1 12.5 30 49 74)
            foreach(mode 0 1)
                record(${id}/focus-${line}-${height}-${mode}
                    ARGS focus ${design} --line ${line} --height ${height} --mode ${mode})
            endforeach()
            record(${id}/sine-${line}-${height} ARGS sine ${design} --fref 1000 --line ${line}
                --height ${height})
        endforeach()
        record(${id}/focus-source-${line}
            ARGS focus ${design} --line ${line} --height 20 --source 0,0,8000)
        record(${id}/light-${line} ARGS light ${design} --field-rad 0.004 --radius 45 --line ${line})
    endforeach()
    foreach(range "0.5;40" "1;74" "0.2;20")
        list(GET range 0 low)
        list(GET range 1 high)
        foreach(measure "--sa;d" "--sa;F" "--ca;C,F" "--ca;C,d,e,F,g,h" "--osc;d" "--mean;e")
            string(REPLACE ";" "" tag "${measure}")
            record(${id}/measure-${low}-${high}${tag}
                ARGS measure ${design} --hmin ${low} --hmax ${high} ${measure})
        endforeach()
    endforeach()
    record(${id}/trace-skew
        ARGS trace ${design} --line F --from 30,12,100 --dir 0.01,-0.02,-1)
    record(${id}/trace-optical
        ARGS trace ${design} --line h --from -41,0,100 --dir 0,0,-1 --rows optical)
    record(${id}/refocus FILE ${WORK_DIR}/refocused.OPT
        ARGS refocus ${design} --line C -o ${WORK_DIR}/refocused.OPT)
    file(REMOVE ${WORK_DIR}/refocused.OPT)
endforeach()

# The optimizer: the merits of every pass with all their digits (the seconds taken
# left out), the design it writes, and the same on 1, 2 and 8 threads.
foreach(design doublet-100-f9 doublet-flattener-102-f7 schmidt-cassegrain-200-f10
               maksutov-cassegrain-150-f12)
    set(in ${SOURCE_DIR}/examples/designed/${design}.OPT)
    foreach(threads 1 2 8)
        run_cli(0 optimize ${in} -o ${WORK_DIR}/optimized-${threads}.OPT --threads ${threads}
            --vary lens,mirror --measures sa,ca,osc --range 3 --glass-file ${catalog})
        string(REGEX REPLACE " seconds [0-9.]+" "" passes${threads} "${out}")
    endforeach()
    expect_equal("${passes2}" "${passes1}")
    expect_equal("${passes8}" "${passes1}")
    expect_same_file(${WORK_DIR}/optimized-2.OPT ${WORK_DIR}/optimized-1.OPT)
    expect_same_file(${WORK_DIR}/optimized-8.OPT ${WORK_DIR}/optimized-1.OPT)
    file(WRITE ${WORK_DIR}/outputs/optimized/${design}.out "${passes1}")
    file(COPY_FILE ${WORK_DIR}/optimized-1.OPT ${WORK_DIR}/outputs/optimized/${design}.file)
    file(READ ${WORK_DIR}/optimized-1.OPT written HEX)
    string(SHA256 hash "${passes1}file ${written}\n")
    set(lines "${lines}optimized/${design} ${hash}\n")
endforeach()

if(UPDATE)
    file(WRITE ${manifest} "${lines}")
    message(STATUS "wrote ${manifest}")
    return()
endif()
file(READ ${manifest} expected)
if("${lines}" STREQUAL "${expected}")
    file(REMOVE_RECURSE ${baseline})
    file(RENAME ${WORK_DIR}/outputs ${baseline})
    return()
endif()

file(WRITE ${WORK_DIR}/oracle-outputs.sha256 "${lines}")
execute_process(COMMAND diff ${manifest} ${WORK_DIR}/oracle-outputs.sha256
    OUTPUT_VARIABLE difference)
# The first output whose fingerprint changed, against the baseline's copy of it.
string(REGEX MATCHALL "[^\n]+" now_lines "${lines}")
set(first_line "")
foreach(line IN LISTS now_lines)
    string(FIND "${expected}" "${line}\n" at)
    if(at EQUAL -1)
        set(first_line "${line}")
        break()
    endif()
endforeach()
set(detail "")
if(first_line)
    string(REGEX REPLACE " [0-9a-f]+$" "" key "${first_line}")
    set(detail "no earlier matching output of ${key} in ${baseline} to compare with")
    if(EXISTS ${baseline}/${key}.out)
        set(detail "${key} is as in ${baseline}: the committed fingerprint is what changed")
    endif()
    foreach(part out file)
        set(old ${baseline}/${key}.${part})
        set(new ${WORK_DIR}/outputs/${key}.${part})
        if(EXISTS ${old} AND EXISTS ${new})
            execute_process(COMMAND diff ${old} ${new} OUTPUT_VARIABLE hunk ERROR_VARIABLE hunk)
            if(hunk)
                string(REGEX MATCH "^[^\n]*\n[^\n]*\n?[^\n]*\n?[^\n]*" hunk "${hunk}")
                set(detail "first difference in ${key} (${part}; < baseline, > now):\n${hunk}")
                break()
            endif()
        endif()
    endforeach()
endif()
message(FATAL_ERROR
    "outputs changed (left: committed, right: now):\n${difference}\n${detail}")
