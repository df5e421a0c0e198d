# Fails when PROGRAM loads any Qt library, directly or through another
# library: morvane-check loads Qt only through its drawing module, when
# --pdf or --plot asks, so a plain check does not pay for Qt's loading. It
# must load the C++ library, or the check would pass because ldd failed.
execute_process(COMMAND ${LDD} ${PROGRAM}
                OUTPUT_VARIABLE libraries
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "ldd ${PROGRAM} failed (${status})")
endif()
if(NOT libraries MATCHES "libstdc\\+\\+\\.so")
    message(FATAL_ERROR "ldd does not list what ${PROGRAM} loads:\n${libraries}")
endif()
if(libraries MATCHES "libQt[0-9]*[A-Za-z]*\\.so")
    message(FATAL_ERROR "${PROGRAM} loads ${CMAKE_MATCH_0}:\n${libraries}")
endif()
