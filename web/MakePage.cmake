# Writes the page: the shell with the icon, the WebAssembly (both as base64) and the program's
# JavaScript inlined, so that the page asks for no file of its own.
# Usage: cmake -DTEMPLATE=HTML -DICON=PNG -DWASM=WASM -DPROGRAM=JS -DOUTPUT=HTML -P MakePage.cmake
execute_process(COMMAND base64 -w 0 ${ICON} OUTPUT_VARIABLE _icon COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND base64 -w 0 ${WASM} OUTPUT_VARIABLE _wasm COMMAND_ERROR_IS_FATAL ANY)
file(READ ${PROGRAM} _program)
# Inside a script element, either would end the script early or change how it is read.
string(TOLOWER "${_program}" _lower)
foreach(_tag "</script" "<!--")
    string(FIND "${_lower}" "${_tag}" _at)
    if(NOT _at EQUAL -1)
        message(FATAL_ERROR "${PROGRAM} holds \"${_tag}\", which cannot be inlined in a script element")
    endif()
endforeach()
file(READ ${TEMPLATE} _page)
foreach(_part ICON WASM PROGRAM)
    string(FIND "${_page}" "@TARVONA_${_part}@" _at)
    if(_at EQUAL -1)
        message(FATAL_ERROR "${TEMPLATE} has no @TARVONA_${_part}@")
    endif()
endforeach()
# The program last: its text is not searched for the other markers.
string(REPLACE "@TARVONA_ICON@" "${_icon}" _page "${_page}")
string(REPLACE "@TARVONA_WASM@" "${_wasm}" _page "${_page}")
string(REPLACE "@TARVONA_PROGRAM@" "${_program}" _page "${_page}")
file(WRITE ${OUTPUT} "${_page}")
