# Installs the build into a fresh folder and checks that a desktop finds what
# it needs there: both programs, the entry that opens a file, the file type,
# the icon in every drawn size, both manual pages and the package documents;
# and that the installed morvane-check draws through its installed module.
# Usage: cmake -DBUILD=dir -DPREFIX=dir -DMODULE=lib/.../drawing.so
#              -DEXAMPLES=dir -P InstallTest.cmake
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
    ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps/morvane.svg
    ${CMAKE_INSTALL_MANDIR}/man1/morvane.1.gz
    ${CMAKE_INSTALL_MANDIR}/man1/morvane-check.1.gz
    ${CMAKE_INSTALL_DATADIR}/doc/morvane/copyright
    ${CMAKE_INSTALL_DATADIR}/doc/morvane/changelog.gz
    ${MODULE})
set(icon_sizes 16 32 48 64 128 256)
foreach(size ${icon_sizes})
    list(APPEND expected ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps/morvane.png)
endforeach()
foreach(path ${expected})
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# The theme picks an icon by its folder: a picture of another size there
# would be scaled, or skipped. Width and height stand in the PNG header.
foreach(size ${icon_sizes})
    set(icon ${PREFIX}/${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps/morvane.png)
    file(READ ${icon} header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 16 dimensions)
    math(EXPR hex_size "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" hex_size "${hex_size}")
    string(LENGTH "${hex_size}" digits)
    math(EXPR padding "8 - ${digits}")
    string(REPEAT "0" ${padding} zeros)
    string(TOLOWER "${zeros}${hex_size}${zeros}${hex_size}" wanted)
    if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT dimensions STREQUAL wanted)
        message(FATAL_ERROR "${size}x${size}/apps/morvane.png is no ${size} px PNG (${header})")
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
# The module is found from the installed program, wherever the prefix lies,
# and no display is needed.
set(picture ${PREFIX}/plot.png)
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        --unset=QT_QPA_PLATFORM
                        ${PREFIX}/${CMAKE_INSTALL_BINDIR}/morvane-check -q --plot ${picture}
                        --plot-size 320x240 ${EXAMPLES}/sample.sim
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 1 OR NOT errors STREQUAL "" OR NOT EXISTS ${picture})
    message(FATAL_ERROR "the installed morvane-check did not draw (${status}): ${errors}")
endif()
message(STATUS "installed: ${expected}")
