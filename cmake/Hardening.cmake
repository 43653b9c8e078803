# SPDX-License-Identifier: GPL-2.0-or-later
# Debian's hardening flags for an optimised build: PIE, -fstack-protector-strong, _FORTIFY_SOURCE,
# -z relro -z now, and stack-clash protection where the compiler has it. Control-flow protection is
# left out: Debian 12's C runtime start files carry no IBT/SHSTK note, so the linker could not mark
# the program as protected whatever its own objects were built with (hardening-check says "no" for
# every program of the distribution; scripts/test asks it with --nocfprotection).
include(CheckCXXCompilerFlag)
include(CheckPIESupported)

function(strevio_dpkg_buildflags variable result)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${DPKG_BUILDFLAGS} --get ${variable}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-buildflags --get ${variable} failed")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    # The build type sets optimisation and debug information; file names stay whole for the tests.
    list(FILTER flags EXCLUDE REGEX "^-O[0-9s]?$|^-g$|^-ffile-prefix-map=|^-fdebug-prefix-map=")
    set(${result} ${flags} PARENT_SCOPE)
endfunction()

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS)
    strevio_dpkg_buildflags(CXXFLAGS hardening_compile)
    strevio_dpkg_buildflags(CPPFLAGS hardening_preprocess)
    strevio_dpkg_buildflags(LDFLAGS hardening_link)
else()
    # The same set where dpkg is not installed.
    set(hardening_compile -fstack-protector-strong -Wformat -Werror=format-security)
    set(hardening_preprocess -D_FORTIFY_SOURCE=2)
    set(hardening_link -Wl,-z,relro -Wl,-z,now)
endif()
foreach(flag IN ITEMS -fstack-clash-protection)
    string(MAKE_C_IDENTIFIER "HAVE${flag}" have)
    check_cxx_compiler_flag(${flag} ${have})
    if(${have})
        list(APPEND hardening_compile ${flag})
    endif()
endforeach()
list(APPEND hardening_link -Wl,-z,now)
list(REMOVE_DUPLICATES hardening_link)

check_pie_supported(LANGUAGES C CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(${hardening_compile} ${hardening_preprocess})
add_link_options(${hardening_link})
message(STATUS "Hardened build: ${hardening_compile} ${hardening_preprocess} ${hardening_link}")
