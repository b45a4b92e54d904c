# Writes the page's shell: the template with the icon inlined as base64, so that the page
# asks for no file of its own.
# Usage: cmake -DICON=PNG -DTEMPLATE=HTML -DOUTPUT=HTML -P MakeShell.cmake
execute_process(COMMAND base64 -w 0 ${ICON} OUTPUT_VARIABLE _base64 COMMAND_ERROR_IS_FATAL ANY)
file(READ ${TEMPLATE} _shell)
string(REPLACE "@TARVONA_ICON@" "${_base64}" _shell "${_shell}")
file(WRITE ${OUTPUT} "${_shell}")
