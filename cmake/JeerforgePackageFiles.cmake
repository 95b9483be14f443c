# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Run by CPack on the staged files, just before it packs them, and again on
# the package it made.

if(CPACK_PACKAGE_FILES)
    # CPack gives the members of the package (debian-binary and the two
    # archives) the modes the umask gave its files; dpkg-deb writes 100644.
    set(member_modes [=[
        open(my $deb, '+<', $ARGV[0]) or die "$ARGV[0]: $!\n";
        binmode $deb;
        my $at = 8;
        while (seek($deb, $at, 0) && read($deb, my $header, 60) == 60) {
            my $size = substr($header, 48, 10) + 0;
            seek($deb, $at + 40, 0);
            print $deb '100644  ';
            $at += 60 + $size + $size % 2;
        }
        close($deb) or die "$ARGV[0]: $!\n";
    ]=])
    foreach(package ${CPACK_PACKAGE_FILES})
        execute_process(COMMAND perl -e "${member_modes}" "${package}" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    return()
endif()

# The date of every file in the package: the builder's SOURCE_DATE_EPOCH, or
# else the last commit's, so that one commit always packs to the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_JEERFORGE_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
    if(NOT failed AND epoch)
        set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    endif()
endif()

# The program keeps its build-id, but not the sections that carry nothing
# for it, as Debian's own packages do.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
foreach(program ${programs})
    execute_process(COMMAND "${CPACK_JEERFORGE_STRIP}" --remove-section=.comment --remove-section=.note
                            --strip-unneeded "${program}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
