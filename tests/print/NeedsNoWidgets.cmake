# Fails when PROGRAM (morvane-check's drawing module) loads Qt's widget or
# print-support library, directly or through another library. It must load Qt
# Gui: without it --pdf would not work, and the check would pass for the
# wrong reason.
execute_process(COMMAND ${LDD} ${PROGRAM}
                OUTPUT_VARIABLE libraries
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "ldd ${PROGRAM} failed (${status})")
endif()
if(NOT libraries MATCHES "libQt6Gui\\.so")
    message(FATAL_ERROR "${PROGRAM} does not load libQt6Gui:\n${libraries}")
endif()
foreach(unwanted libQt6Widgets libQt6PrintSupport)
    if(libraries MATCHES "${unwanted}\\.so")
        message(FATAL_ERROR "${PROGRAM} loads ${unwanted}:\n${libraries}")
    endif()
endforeach()
