# install_gzipped(TARGET target FILE file DESTINATION dir)
# Installs FILE as FILE.gz into DESTINATION. The copy is compressed when
# TARGET is built, so installing after building only the programs finds it;
# -9n leaves out the name and time, so every build makes the same bytes.
find_program(MORVANE_GZIP gzip REQUIRED)

function(install_gzipped)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "TARGET;FILE;DESTINATION" "")
    get_filename_component(name ${arg_FILE} NAME)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${compressed}
                       COMMAND ${MORVANE_GZIP} -9n -c ${arg_FILE} > ${compressed}
                       DEPENDS ${arg_FILE}
                       COMMENT "Compressing ${name}"
                       VERBATIM)
    add_custom_target(gzip_${name} DEPENDS ${compressed})
    add_dependencies(${arg_TARGET} gzip_${name})
    install(FILES ${compressed} DESTINATION ${arg_DESTINATION})
endfunction()
