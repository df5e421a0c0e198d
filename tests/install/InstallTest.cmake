# Installs the build into a fresh folder and checks that a desktop finds what
# it needs there: both programs, the entry that opens a file, the file type,
# the icon and both manual pages.
# Usage: cmake -DBUILD=dir -DPREFIX=dir -P InstallTest.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status})")
endif()

include(GNUInstallDirs)
set(expected
    ${CMAKE_INSTALL_BINDIR}/morvane
    ${CMAKE_INSTALL_BINDIR}/morvane-check
    ${CMAKE_INSTALL_DATADIR}/applications/morvane.desktop
    ${CMAKE_INSTALL_DATADIR}/mime/packages/morvane.xml
    ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps/morvane.png
    ${CMAKE_INSTALL_MANDIR}/man1/morvane.1
    ${CMAKE_INSTALL_MANDIR}/man1/morvane-check.1)
foreach(path ${expected})
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# A double-click hands the file to the program, and the entry claims the type
# that the MIME package declares.
file(READ ${PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/morvane.desktop entry)
file(READ ${PREFIX}/${CMAKE_INSTALL_DATADIR}/mime/packages/morvane.xml mime)
if(NOT entry MATCHES "\nExec=morvane %f\n")
    message(FATAL_ERROR "the desktop entry does not pass the file: ${entry}")
endif()
string(REGEX MATCH "mime-type type=\"([^\"]+)\"" declared "${mime}")
if(NOT declared OR NOT entry MATCHES "\nMimeType=${CMAKE_MATCH_1};")
    message(FATAL_ERROR "the desktop entry does not claim the declared type ${CMAKE_MATCH_1}")
endif()
if(NOT mime MATCHES "<glob pattern=\"\\*\\.sim\" case-sensitive=\"false\"/>")
    message(FATAL_ERROR "the type does not cover *.sim in any case")
endif()
message(STATUS "installed: ${expected}")
