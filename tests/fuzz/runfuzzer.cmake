# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# With SECONDS 0, runs every input of the corpus once; otherwise fuzzes for
# SECONDS from it, keeping what it finds new in WORK/corpus. Any finding
# fails the test and leaves its input in WORK/.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
if(SECONDS EQUAL 0)
    set(how -runs=0)
else()
    set(how -max_total_time=${SECONDS} ${WORK}/corpus)
endif()
execute_process(
    COMMAND ${FUZZER} ${how} -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=${WORK}/ ${SEEDS}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the fuzzer found a fault (exit ${result}); the input is in ${WORK}/")
endif()
