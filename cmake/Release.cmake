# The release configuration (preset "release"): only the program, optimised
# for size, stripped, and linked so that two builds of one commit give the same
# bytes; the target "dist" packs it into the zip a user downloads.

set(VANTOR_DIST_DIR "${CMAKE_BINARY_DIR}/dist" CACHE PATH "Where the release zip is written")

# Every function and object in a section of its own, so that the linker can
# drop what nothing calls; no build paths in the objects.
add_compile_options(-ffunction-sections -fdata-sections
                    "-ffile-prefix-map=${CMAKE_SOURCE_DIR}=." "-ffile-prefix-map=${CMAKE_BINARY_DIR}=.")
# No link time in the PE header: the only field that changes from build to build.
add_link_options(-s -Wl,--gc-sections -Wl,--no-insert-timestamp)
# The C++ runtime's default end for an uncaught exception prints the
# exception's demangled type to stderr, which a GUI program does not have, and
# brings the whole demangler (45 KB) along; abort() straight away is what the
# user sees anyway.
add_link_options(-Wl,--defsym=_ZN9__gnu_cxx27__verbose_terminate_handlerEv=abort)

# vantor-<version>-x64.zip and its .sha256 in VANTOR_DIST_DIR, from the
# program, the skins, the user's guide, the user's readme and the licence. The packer's inputs
# are kept in dist-inputs.txt, so that a test can pack them a second time.
function(vantor_release_zip)
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    set(zip "${VANTOR_DIST_DIR}/vantor-${PROJECT_VERSION}-x64.zip")
    set(pack "${CMAKE_SOURCE_DIR}/tools/release/pack.py")
    set(inputs "${CMAKE_BINARY_DIR}/dist-inputs.txt")
    file(GENERATE OUTPUT "${inputs}" CONTENT "--exe
$<TARGET_FILE:vantor>
--skins
${CMAKE_SOURCE_DIR}/res/skins
--guide
${CMAKE_SOURCE_DIR}/help
--readme
${CMAKE_SOURCE_DIR}/res/readme.txt
--license
${CMAKE_SOURCE_DIR}/LICENSE.txt
--version
${PROJECT_VERSION}
--date
${VANTOR_RELEASE_DATE}
")
    file(GLOB_RECURSE skin_files "${CMAKE_SOURCE_DIR}/res/skins/*")
    # A page added later is seen at the next configure (CONFIGURE_DEPENDS).
    file(GLOB_RECURSE guide_files CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/help/*")
    add_custom_command(
        OUTPUT "${zip}" "${zip}.sha256"
        COMMAND "${Python3_EXECUTABLE}" "${pack}" "@${inputs}" --out "${zip}"
        DEPENDS vantor "${pack}" "${inputs}" ${skin_files} ${guide_files}
                "${CMAKE_SOURCE_DIR}/res/readme.txt"
                "${CMAKE_SOURCE_DIR}/LICENSE.txt"
        COMMENT "Packing ${zip}"
        VERBATIM)
    add_custom_target(dist ALL DEPENDS "${zip}")
endfunction()
