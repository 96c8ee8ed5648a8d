# Writes the desktop entry and the AppStream file from their templates, with the name and the comment in the
# editor's twelve languages, looked up by the program's own language tables (`dashcam-cfg text`): the name is the
# window's title (IDS_STRING101), the comment the titles of its three pages.
# cmake -DCFG=dashcam-cfg -DDESKTOP_IN=.. -DDESKTOP=.. -DMETAINFO_IN=.. -DMETAINFO=.. [-DVAR=value for the
# templates' other @VAR@s] -P localize_entries.cmake

# Language file name and locale code; English is the untranslated default.
set(languages english= chinesesimplified=zh_CN chinesetraditional=zh_TW french=fr german=de italian=it
    japanese=ja korean=ko portuguese=pt russian=ru spanish=es thai=th)

function(text key language out)
  execute_process(COMMAND ${CFG} text ${key} --lang ${language}
                  OUTPUT_VARIABLE value RESULT_VARIABLE failed ERROR_VARIABLE why)
  string(REGEX REPLACE "\n$" "" value "${value}")
  if(failed OR value STREQUAL "" OR value MATCHES "\n")
    message(FATAL_ERROR "no one-line text ${key} in ${language}: ${why}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

set(desktop_names "")
set(desktop_comments "")
set(metainfo_names "")
set(metainfo_summaries "")
foreach(entry ${languages})
  string(REGEX MATCH "^([a-z]+)=(.*)$" entry "${entry}")
  set(language ${CMAKE_MATCH_1})
  set(code ${CMAKE_MATCH_2})
  text(IDS_STRING101 ${language} name)
  text(IDS_STRING228 ${language} record)
  text(IDS_STRING105 ${language} card)
  text(IDS_STRING213 ${language} system)
  set(comment "${record} · ${card} · ${system}")
  set(suffix "")
  set(xml_lang "")
  if(code)
    set(suffix "[${code}]")
    set(xml_lang " xml:lang=\"${code}\"")
  endif()
  string(APPEND desktop_names "Name${suffix}=${name}\n")
  string(APPEND desktop_comments "Comment${suffix}=${comment}\n")
  foreach(value name comment)
    string(REPLACE "&" "&amp;" ${value} "${${value}}")
    string(REPLACE "<" "&lt;" ${value} "${${value}}")
    string(REPLACE ">" "&gt;" ${value} "${${value}}")
  endforeach()
  string(APPEND metainfo_names "  <name${xml_lang}>${name}</name>\n")
  string(APPEND metainfo_summaries "  <summary${xml_lang}>${comment}</summary>\n")
endforeach()
foreach(block desktop_names desktop_comments metainfo_names metainfo_summaries)
  string(REGEX REPLACE "\n$" "" ${block} "${${block}}")
endforeach()
configure_file(${DESKTOP_IN} ${DESKTOP} @ONLY)
configure_file(${METAINFO_IN} ${METAINFO} @ONLY)
