# Fails when PROGRAM (a program or a shared object) does not load a library
# matching NEEDED, or loads one matching UNWANTED, directly or through another
# library. NEEDED guards against a check that passes for the wrong reason.
# Usage: cmake -DLDD=ldd -DPROGRAM=file -DNEEDED=regex -DUNWANTED=regex
#              -P LoadedLibraries.cmake
# (a regex for a name before ".so", such as "libQt6(Widgets|PrintSupport)")
execute_process(COMMAND ${LDD} ${PROGRAM}
                OUTPUT_VARIABLE libraries
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "ldd ${PROGRAM} failed (${status})")
endif()
if(NOT libraries MATCHES "[ /\t](${NEEDED})\\.so")
    message(FATAL_ERROR "${PROGRAM} loads no ${NEEDED}:\n${libraries}")
endif()
if(libraries MATCHES "[ /\t](${UNWANTED})\\.so")
    message(FATAL_ERROR "${PROGRAM} loads ${CMAKE_MATCH_1}:\n${libraries}")
endif()
