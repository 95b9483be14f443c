# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

option(JEERFORGE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(JEERFORGE_FUZZ "Build the libFuzzer target (needs clang)" OFF)

# Settings every Jeerforge target shares, applied per target.
function(jeerforge_target_settings target)
    target_compile_features(${target} PRIVATE cxx_std_20)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
        # Hardened optimised builds, as Debian's hardening=+all and the OpenSSF
        # guide have it for GCC 12 on x86-64 (the binary is PIE by default).
        # A packager's CXXFLAGS and LDFLAGS come first on the command line and
        # add to these; FORTIFY is set anew so that the two never clash.
        set(optimised "$<CONFIG:Release,RelWithDebInfo>")
        target_compile_options(${target} PRIVATE
            "$<${optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=3;-D_GLIBCXX_ASSERTIONS;-fstack-protector-strong;-fstack-clash-protection;-fcf-protection=full;-Wformat;-Werror=format-security>")
        target_link_options(${target} PRIVATE "$<${optimised}:LINKER:-z,relro,-z,now,-z,noexecstack>")
        # Where the tree was built leaves no trace in the binary, so that
        # builds in other folders give the same bytes.
        target_compile_options(${target} PRIVATE
            "$<${optimised}:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.;-ffile-prefix-map=${PROJECT_BINARY_DIR}=.>")
    endif()
    if(JEERFORGE_SANITIZE)
        set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_compile_options(${target} PRIVATE ${sanitizers})
        target_link_options(${target} PRIVATE ${sanitizers})
    endif()
    # The fuzzer learns from coverage of the code it drives.
    if(JEERFORGE_FUZZ AND target STREQUAL "jeerforge_core")
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()
