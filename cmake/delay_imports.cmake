# shell32 and comdlg32 serve only commands (opening a file or a page, a program's icon, the
# open-file dialog), and wintrust and crypt32 only the signature checks that run after the rows
# are shown, yet loading them and what they pull in costs the start of every run. Their
# delay-load libraries make an exe load them when it first calls one of the functions listed in
# cmake/delay/<dll>.def. QV_DELAY_IMPORTS goes on the link line before the ordinary import
# libraries, so that it provides those functions; any function not listed still comes through the
# ordinary import library. Targets that link it depend on qv_delay_import_libs.
set(QV_DELAY_IMPORTS)
foreach(dll shell32 comdlg32 wintrust crypt32)
  set(def ${CMAKE_CURRENT_LIST_DIR}/delay/${dll}.def)
  set(lib ${CMAKE_BINARY_DIR}/delay/lib${dll}_delay.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --output-delaylib ${lib}
    DEPENDS ${def}
    VERBATIM)
  list(APPEND QV_DELAY_IMPORTS ${lib})
endforeach()
add_custom_target(qv_delay_import_libs DEPENDS ${QV_DELAY_IMPORTS})
# delayimp holds the helper that loads a DLL at its first call.
list(APPEND QV_DELAY_IMPORTS delayimp)
