# SPDX-License-Identifier: MIT
# Puts the style, the page script and the engine module inline into page.html, so that the page is
# one file that needs nothing else.
file(READ ${SOURCE}/page.html page)
file(READ ${SOURCE}/style.css style)
file(READ ${SOURCE}/app.js script)
file(READ ${ENGINE} engine)
foreach(part IN ITEMS script engine)
  string(FIND "${${part}}" "</script" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${part} contains </script and cannot be put inline")
  endif()
endforeach()
string(REPLACE "/*STYLE*/" "${style}" page "${page}")
string(REPLACE "/*SCRIPT*/" "${script}" page "${page}")
string(REPLACE "/*ENGINE*/" "${engine}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
