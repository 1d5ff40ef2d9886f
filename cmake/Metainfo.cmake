# Renders the AppStream metainfo template. The metadata names screenshots by
# web address only (a local path is refused by the validator), so the pictures
# of docs/screenshots/ are named when the address under which that folder is
# published is given; without it they stay in a comment.
#   zq_render_metainfo(<template> <output> <https address or empty>)
# In script mode: cmake -DIN=<template> -DOUT=<output> [-DURL=<address>] -P Metainfo.cmake
function(zq_render_metainfo in out url)
    if(url)
        set(SCREENSHOT_URL "${url}")
        set(SCREENSHOTS_OPEN "")
        set(SCREENSHOTS_CLOSE "")
    else()
        set(SCREENSHOT_URL "docs/screenshots")
        set(SCREENSHOTS_OPEN "<!-- Pictures of docs/screenshots/, named once RENOMEIA_ZQ_SCREENSHOT_URL gives their web address:")
        set(SCREENSHOTS_CLOSE "-->")
    endif()
    configure_file("${in}" "${out}" @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND IN AND OUT)
    zq_render_metainfo("${IN}" "${OUT}" "${URL}")
endif()
