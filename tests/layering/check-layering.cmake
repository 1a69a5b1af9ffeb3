# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Zefirina developers
# Fails when a C++ file of the program includes a header of a folder that its own folder
# may not use, as allowed-arrows.txt beside this script lists them.
#   cmake -DROOT=<source folder> -P check-layering.cmake
# A file's folder is its top-level folder, but for the service, whose layers are its
# subfolders: service/feed/feedreader.h is in "service/feed", service/main.cpp in "service".
# Tests and benchmarks may use any folder and are not checked.

cmake_minimum_required(VERSION 3.25)

function(folder_of path result)
  if(path MATCHES "^service/([^/]+)/")
    set(${result} "service/${CMAKE_MATCH_1}" PARENT_SCOPE)
  elseif(path MATCHES "^([^/]+)/")
    set(${result} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/allowed-arrows.txt" lines REGEX "^[^#].*:")
set(folders)
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([^:]+):(.*)$" _ "${line}")
  string(STRIP "${CMAKE_MATCH_1}" from)
  string(STRIP "${CMAKE_MATCH_2}" to)
  string(REGEX REPLACE "[ \t]+" ";" to "${to}")
  string(REPLACE "/" "_" key "${from}")
  set(allowed_${key} ${to})
  list(APPEND folders ${from})
endforeach()

file(GLOB_RECURSE sources RELATIVE "${ROOT}" "${ROOT}/*.h" "${ROOT}/*.cpp")
list(FILTER sources EXCLUDE REGEX "^(tests|bench|build[^/]*)/")
set(faults 0)
foreach(source IN LISTS sources)
  folder_of("${source}" from)
  if(from STREQUAL "")
    continue()
  endif()
  if(NOT from IN_LIST folders)
    message(SEND_ERROR "${source}: folder '${from}' is not in allowed-arrows.txt")
    math(EXPR faults "${faults} + 1")
    continue()
  endif()
  string(REPLACE "/" "_" key "${from}")
  file(STRINGS "${ROOT}/${source}" includes REGEX "^#include \"[^\"]+\"")
  foreach(include IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*$" "\\1" header "${include}")
    folder_of("${header}" to)
    if(to STREQUAL "" OR to STREQUAL from OR NOT to IN_LIST folders)
      continue() # a header of its own folder, or none of the program's
    endif()
    if(NOT to IN_LIST allowed_${key})
      message(SEND_ERROR "${source}: ${from} -> ${to} is not an allowed arrow (#include \"${header}\")")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()
if(faults EQUAL 0)
  list(LENGTH sources count)
  message(STATUS "layering: ${count} files, every include follows allowed-arrows.txt")
endif()
