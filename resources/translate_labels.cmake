# The labels' drawing with the names of one language, made by the translators' own tool:
#
#   cmake -DMSGFMT=<msgfmt> -DPO_DIR=<po folder> -DLANGUAGE=<de> -DDRAWING=<labels.svg>
#         -DWORK=<scratch folder> -DOUT=<translated labels.svg> -P translate_labels.cmake
#
# msgfmt finds po/labels.its through po/labels.loc in GETTEXTDATADIRS, copied into the scratch
# folder: one for each language, as the build makes them side by side. A name left untranslated
# stays English.
foreach(var MSGFMT PO_DIR LANGUAGE DRAWING WORK OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "translate_labels.cmake needs -D${var}=...")
  endif()
endforeach()
file(COPY ${PO_DIR}/labels.its ${PO_DIR}/labels.loc DESTINATION ${WORK}/its)
# The language becomes the names' xml:lang, which must be a language tag ("zh-CN") for the
# fonts' choice and the drawing's :lang() style to see it.
string(REPLACE "_" "-" tag ${LANGUAGE})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env GETTEXTDATADIRS=${WORK}
          ${MSGFMT} --xml -l ${tag} --template=${DRAWING} -o ${OUT} ${PO_DIR}/${LANGUAGE}.po
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "msgfmt could not translate ${DRAWING} into ${LANGUAGE}")
endif()
# The template's names are taken with their XML escapes ("Hammer &amp; Chisel"), so translators
# copy them, but each translation is escaped again as it goes in: a name would show "&amp;".
file(READ ${OUT} drawing)
string(REPLACE "&amp;amp;" "&amp;" drawing "${drawing}")
file(WRITE ${OUT} "${drawing}")
