# The help page and the manual page in every language of po/doc.cfg, written by po4a with that
# file's own options, so that the English is cut into the very messages the translators see. A
# page is written however little of it is translated (-k 0): what is missing stays English, and a
# language without its .po file gets the English page. The .po files are only read here.
#
#   run/help/<lang>/index.html                  beside the English page, sharing its pictures
#   <build>/po4a/man/<lang>/pictoria.1.gz       compressed as Debian keeps manual pages
set(doc_cfg ${CMAKE_SOURCE_DIR}/po/doc.cfg)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${doc_cfg})
file(STRINGS ${doc_cfg} doc_languages REGEX "^\\[po4a_langs\\]")
string(REGEX REPLACE "^\\[po4a_langs\\]" "" doc_languages "${doc_languages}")
separate_arguments(PICTORIA_DOC_LANGUAGES UNIX_COMMAND "${doc_languages}")
set(PICTORIA_DOC_LANGUAGES ${PICTORIA_DOC_LANGUAGES} PARENT_SCOPE)
# A .po file added later makes CMake look again, so that the build reruns when it changes.
file(GLOB doc_translations CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/help/*.po ${CMAKE_SOURCE_DIR}/po/man/*.po)
find_program(PO4A po4a REQUIRED)

# po4a puts its output under --destdir at the paths doc.cfg names (build/po4a/...).
set(PICTORIA_DOC_OUT ${CMAKE_BINARY_DIR}/po4a)
set(PICTORIA_DOC_OUT ${PICTORIA_DOC_OUT} PARENT_SCOPE)
set(doc_written ${PICTORIA_DOC_OUT}/build/po4a)
set(doc_steps)
set(doc_outputs)
foreach(lang ${PICTORIA_DOC_LANGUAGES})
  set(page ${PICTORIA_RUN_DIR}/help/${lang}/index.html)
  set(man ${PICTORIA_DOC_OUT}/man/${lang}/pictoria.1)
  list(APPEND doc_steps
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PICTORIA_RUN_DIR}/help/${lang} ${PICTORIA_DOC_OUT}/man/${lang}
    COMMAND ${CMAKE_COMMAND} -E copy ${doc_written}/help/${lang}/index.html ${page}
    # One folder down, the page reaches the English page's pictures by "../pictures/".
    COMMAND sed -i -e "s|=\"pictures/|=\"../pictures/|g" ${page}
    COMMAND ${CMAKE_COMMAND} -E copy ${doc_written}/man/${lang}/pictoria.1 ${man}
    COMMAND gzip -9nf ${man})
  list(APPEND doc_outputs ${page} ${man}.gz)
endforeach()
add_custom_command(
  OUTPUT ${doc_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PICTORIA_DOC_OUT}
  COMMAND ${PO4A} -q --no-update -k 0 --srcdir ${CMAKE_SOURCE_DIR} --destdir ${PICTORIA_DOC_OUT} ${doc_cfg}
  ${doc_steps}
  DEPENDS ${doc_cfg} ${doc_translations} ${CMAKE_SOURCE_DIR}/resources/help/index.html
          ${CMAKE_SOURCE_DIR}/desktop/pictoria.1
  COMMENT "Translated help and manual pages"
  VERBATIM)
add_custom_target(translated_documents ALL DEPENDS ${doc_outputs})
