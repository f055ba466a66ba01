cmake_minimum_required(VERSION 3.25)
# Every #include "dir/file.h" of a folder names a header of a folder below it.
#   cmake -DROOT=<source dir> -P CheckLayers.cmake
# A folder may include its own headers and those of the folders listed for
# it; anything else is an arrow upwards (or sideways) and fails the check.
set(allowed_platform/core "base")
set(allowed_platform "base;platform/core")
set(allowed_richtext/core "base;richtext")  # the tokenizer lives beside the reader
set(allowed_richtext "base;richtext/core;platform/core")
set(allowed_store "base;richtext/core")
set(allowed_store/mdb "base;store;richtext/core")
set(allowed_session "base;store;platform/core;richtext/core")
set(allowed_widgets "base")
set(allowed_settings "base;session;widgets;store;platform;platform/core;richtext/core")
set(allowed_editor "base;session;widgets;store;richtext;richtext/core;platform;platform/core")
set(allowed_mainwindow
    "base;editor;settings;session;widgets;store;richtext;richtext/core;platform;platform/core")

set(failures "")
set(allowed_base "")
foreach(folder base platform/core platform richtext/core richtext store store/mdb session widgets
               settings editor mainwindow)
    file(GLOB files "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.h")
    if(NOT files)
        list(APPEND failures "${folder}: no sources found")
    endif()
    foreach(f ${files})
        file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
        foreach(line ${lines})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*$" "\\1" header "${line}")
            get_filename_component(dir "${header}" DIRECTORY)
            if(dir STREQUAL "" OR dir STREQUAL folder OR dir IN_LIST allowed_${folder})
                continue()
            endif()
            file(RELATIVE_PATH rel "${ROOT}" "${f}")
            list(APPEND failures "${rel} includes ${header}")
        endforeach()
    endforeach()
endforeach()

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "include arrows that do not point downwards:\n  ${text}")
endif()
message(STATUS "every include points downwards")
