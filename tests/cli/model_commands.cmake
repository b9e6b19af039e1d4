# Runs kiro-cli show and convert on the examples and the legacy files and checks their
# output. Called by CTest as: cmake -DKIRO_CLI=... -DSOURCE_DIR=... -DWORK_DIR=... -P this
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# show: a row a line, then the description, UTF-8 whatever the file holds.
run_cli(0 show ${SOURCE_DIR}/examples/newtonian-200-f5.OPT)
expect_contains("${out}" "2 12 放物面鏡 xyz=0,0,-1000 normal=0,0,1 R=2000 a2=0 a3=0 a4=0 diameter=200 material=- nd=1\n")
expect_contains("${out}" "4 2 平面焦点面 xyz=0,0,0")
expect_contains("${out}" "description: 200mm f/5 Newtonian\n")
run_cli(0 show ${SOURCE_DIR}/examples/spherical-mirror-r200.OPT)
expect_contains("${out}" "0 11 球面鏡 xyz=0,0,0 normal=0,0,1 R=200")
run_cli(0 show ${SOURCE_DIR}/tests/data/legacy-ver099.OPT)
expect_contains("${out}" "1 21 球面レンズ xyz=0,0,-5 normal=0,0,0 R=600 a2=0 a3=0 a4=0 diameter=100 material=BK7 nd=1.5168\n")
expect_contains("${out}" "6 22 非球面レンズ xyz=0,0,-45 normal=0,0,0 a1=0.0005 a2=-1e-07")
run_cli(0 show ${SOURCE_DIR}/tests/data/legacy-oldest.OPT)
expect_contains("${out}" "description: old-lens\n")
run_cli(0 show ${SOURCE_DIR}/tests/data/cp932-description.OPT)
expect_contains("${out}" "description: 球面鏡 テスト\n")

# convert: the current layout, byte for byte; an example converts to itself.
foreach(name legacy-ver099 legacy-oldest)
    run_cli(0 convert ${SOURCE_DIR}/tests/data/${name}.OPT ${WORK_DIR}/${name}.OPT)
    expect_same_file(${WORK_DIR}/${name}.OPT ${SOURCE_DIR}/tests/data/${name}.converted.OPT)
endforeach()
foreach(name newtonian-200-f5 spherical-mirror-r200)
    run_cli(0 convert ${SOURCE_DIR}/examples/${name}.OPT ${WORK_DIR}/${name}.OPT)
    expect_same_file(${WORK_DIR}/${name}.OPT ${SOURCE_DIR}/examples/${name}.OPT)
endforeach()

# resize: the whole design in proportion, or only the clear apertures.
run_cli(0 resize ${SOURCE_DIR}/examples/newtonian-200-f5.OPT --to 100 -o ${WORK_DIR}/half.OPT)
run_cli(0 show ${WORK_DIR}/half.OPT)
expect_contains("${out}" "2 12 放物面鏡 xyz=0,0,-500 normal=0,0,1 R=1000 a2=0 a3=0 a4=0 diameter=100 ")
run_cli(0 resize ${SOURCE_DIR}/examples/newtonian-200-f5.OPT --from 100 --to 150 --aperture-only
        -o ${WORK_DIR}/wide.OPT)
run_cli(0 show ${WORK_DIR}/wide.OPT)
expect_contains("${out}" "2 12 放物面鏡 xyz=0,0,-1000 normal=0,0,1 R=2000 a2=0 a3=0 a4=0 diameter=300 ")
foreach(bad 0 -5 nan 1e999)
    run_cli(2 resize ${SOURCE_DIR}/examples/newtonian-200-f5.OPT --to ${bad} -o ${WORK_DIR}/bad.OPT)
endforeach()
expect_no_file(${WORK_DIR}/bad.OPT)
file(WRITE ${WORK_DIR}/empty.OPT "ver100\r\n-\r\n")
run_cli(1 resize ${WORK_DIR}/empty.OPT --to 100 -o ${WORK_DIR}/bad.OPT)
expect_no_file(${WORK_DIR}/bad.OPT)

# Unreadable input and unwritable output: exit 2, one line starting "kiro-cli: ".
run_cli(2 show ${WORK_DIR}/missing.OPT)
if(NOT err MATCHES "^kiro-cli: [^\n]*\n$")
    message(FATAL_ERROR "unexpected message: ${err}")
endif()
run_cli(2 convert ${WORK_DIR}/missing.OPT ${WORK_DIR}/out.OPT)
if(EXISTS ${WORK_DIR}/out.OPT)
    message(FATAL_ERROR "convert wrote an output for an unreadable input")
endif()
run_cli(2 convert ${SOURCE_DIR}/tests/data/legacy-oldest.OPT ${WORK_DIR}/no/such/folder.OPT)
expect_contains("${err}" "kiro-cli: ")
run_cli(2 show)
expect_contains("${err}" "kiro-cli: ")

run_cli(0 --help)
expect_contains("${out}" "show")
expect_contains("${out}" "convert")
run_cli(0 show --help)
run_cli(0 --version)
expect_contains("${out}" "kiro-cli ")

file(REMOVE_RECURSE ${WORK_DIR})

# A file that is no usable design is refused: exit 1, one "kiro-cli: " line naming the
# file, the reason and the line where there is one, and no output written.
file(WRITE ${WORK_DIR}/text.OPT "Shopping list: 2 eggs, milk\n")
file(WRITE ${WORK_DIR}/empty-file.OPT "")
file(WRITE ${WORK_DIR}/nan.OPT "ver100\r\n-\r\n11\r\n0 0 0\r\n0 0 1\r\nnan 0 0 0\r\n50\r\n1 1 1 1 1 1 1 1 \r\n-\r\n")
file(WRITE ${WORK_DIR}/huge.OPT "ver100\r\n-\r\n11\r\n0 0 1e999\r\n0 0 1\r\n200 0 0 0\r\n50\r\n1 1 1 1 1 1 1 1 \r\n-\r\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy ${SOURCE_DIR}/docs/images/newtonian-200-f5-spot.png
    ${WORK_DIR}/binary.OPT)
foreach(refused "text.OPT;no known layout" "empty-file.OPT;no known layout"
                "binary.OPT;binary content" "nan.OPT;line 6: " "huge.OPT;line 4: ")
    list(GET refused 0 name)
    list(GET refused 1 reason)
    run_cli(1 show ${WORK_DIR}/${name})
    expect_match("${err}" "^kiro-cli: [^\n]*${name}: [^\n]*${reason}[^\n]*\n$")
    run_cli(1 info ${WORK_DIR}/${name})
    run_cli(1 convert ${WORK_DIR}/${name} ${WORK_DIR}/out.OPT)
    expect_match("${err}" "^kiro-cli: [^\n]*${name}: [^\n]*${reason}[^\n]*\n$")
endforeach()
expect_no_file(${WORK_DIR}/out.OPT)

# A design that ends early (here inside its second row) is read with a one-line warning.
file(READ ${SOURCE_DIR}/examples/spherical-mirror-r200.OPT whole)
string(FIND "${whole}" "0 0 100" cut)
string(SUBSTRING "${whole}" 0 ${cut} part)
file(WRITE ${WORK_DIR}/part.OPT "${part}0 0")
run_cli(0 convert ${WORK_DIR}/part.OPT ${WORK_DIR}/part-converted.OPT)
expect_match("${err}" "^kiro-cli: warning: [^\n]*part.OPT: the design ends early at line 11\n$")
run_cli(0 show ${WORK_DIR}/part-converted.OPT)
expect_equal("${err}" "")
expect_contains("${out}" "0 11 球面鏡 xyz=0,0,0 normal=0,0,1 R=200")
