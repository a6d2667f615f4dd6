cmake_minimum_required(VERSION 3.25)
# Turns the manual's Markdown into one HTML page (cmake -P, called by the build):
# CMARK_GFM, MARKDOWN (input), TEMPLATE (the page around the text) and OUTPUT.
execute_process(
    COMMAND ${CMARK_GFM} --extension table --validate-utf8 ${MARKDOWN}
    OUTPUT_VARIABLE body
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmark-gfm could not render ${MARKDOWN}")
endif()

# Japanese puts no space between words: a line break inside a paragraph of the README, between
# two Japanese characters, must not become a space on the page. Preformatted blocks keep theirs.
set(joined "")
while(TRUE)
    string(FIND "${body}" "<pre" pre_begin)
    if(pre_begin EQUAL -1)
        set(prose "${body}")
        set(body "")
    else()
        string(SUBSTRING "${body}" 0 ${pre_begin} prose)
        string(SUBSTRING "${body}" ${pre_begin} -1 body)
    endif()
    string(REGEX REPLACE "([^ -~\n])\n([^ -~\n])" "\\1\\2" prose "${prose}")
    string(APPEND joined "${prose}")
    if(body STREQUAL "")
        break()
    endif()
    string(FIND "${body}" "</pre>" pre_end)
    math(EXPR pre_end "${pre_end} + 6")
    string(SUBSTRING "${body}" 0 ${pre_end} preformatted)
    string(SUBSTRING "${body}" ${pre_end} -1 body)
    string(APPEND joined "${preformatted}")
endwhile()

file(READ ${TEMPLATE} page)
string(REPLACE "@MANUAL_BODY@" "${joined}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
