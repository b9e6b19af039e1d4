# Runs kiro-cli wavefront, mtf and the wavefront views of render on the examples and checks
# their records and exit codes. Called by CTest as: cmake -DKIRO_CLI=... -DSOURCE_DIR=...
# -DWORK_DIR=... -P this
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

set(mirror ${SOURCE_DIR}/examples/spherical-mirror-r200.OPT)
set(newtonian ${SOURCE_DIR}/examples/newtonian-200-f5.OPT)
set(number "-?[0-9][0-9.e+-]*")
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# The Newtonian's paraboloid on axis is perfect (Strehl 1 as is and at best focus); a
# panel beyond the diagonal gets no ray and no numbers; numbers stay in the C locale.
set(ENV{LC_ALL} de_DE.UTF-8)
run_cli(0 wavefront ${newtonian} --heights 0,12,40 --lines d,F --grid 32)
expect_match("${out}" "^0 d [0-9]+ ${number} ${number} 1 ${number} ${number} 1 ${number}\n0 F ")
expect_match("${out}" "\n12 d [0-9]+ ${number} ${number} ${number} ${number} ${number} ${number} ${number}\n")
expect_match("${out}" "\n40 d 0 - - - - - - -\n40 F 0 - - - - - - -\n$")
run_cli(2 wavefront ${newtonian} --grid 4)
run_cli(2 wavefront ${newtonian} --lines x)

# The mtf records: 1 at 0 cycles/mm, 0 beyond the cut-off 1 / (lambda F) ~ 340/mm at f/5.
run_cli(0 mtf ${newtonian} --heights 0,6,12 --lines d --freq 0,100,400)
expect_match("${out}" "^0 0 1 1 1\n0 100 0\\.[0-9]+ 0\\.[0-9]+ 0\\.[0-9]+\n0 400 0 0 0\n6 0 1 1 1\n")
run_cli(2 mtf ${newtonian} --freq -5)
run_cli(2 mtf ${newtonian} --freq inf)
run_cli(2 mtf ${WORK_DIR}/missing.OPT)

# The pictures: each view writes its primitive list and its PNG.
foreach(view wavefront psf mtf startest)
    run_cli(0 render ${view} ${mirror} -o ${WORK_DIR}/${view}.txt --grid 16 --lines d)
    file(READ ${WORK_DIR}/${view}.txt text)
    expect_match("${text}" "text [0-9]+ 2 h=0\\.0mm  0\\.000°")
endforeach()
run_cli(0 render psf ${mirror} --log -o ${WORK_DIR}/psf.png)
file(READ ${WORK_DIR}/psf.png magic LIMIT 4 HEX)
expect_equal("${magic}" "89504e47")
run_cli(2 render psf ${mirror} --airy -o ${WORK_DIR}/bad.png)
run_cli(2 render startest ${mirror} --waves -1 -o ${WORK_DIR}/bad.png)
run_cli(2 render psf ${mirror} --grid 512 -o ${WORK_DIR}/bad.png)
