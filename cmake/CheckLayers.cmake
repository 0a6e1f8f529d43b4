# Fails when a source file includes a header of a layer above its own, or when a file of a pure
# layer includes a Qt header. Run as a test: cmake -DSOURCE_DIR=<checkout> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)

# The layers, lowest first; a file in src/<layer>/ includes only its own layer and those below.
set(layers model grid agenda detail finder platform store views app widget cli)
# The layers that use the standard library and ICU only.
set(pure_layers model grid agenda detail finder)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "CheckLayers: pass -DSOURCE_DIR=<the checkout>")
endif()

set(violations "")
foreach(layer IN LISTS layers)
    list(FIND layers ${layer} rank)
    file(GLOB files ${SOURCE_DIR}/src/${layer}/*.h ${SOURCE_DIR}/src/${layer}/*.cpp
         ${SOURCE_DIR}/src/${layer}/*.h.in)
    foreach(file IN LISTS files)
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1"
                   header "${line}")
            # A path that climbs out of the file's folder names its layer after the climb.
            string(REGEX REPLACE "^(\\.\\./)+" "" named "${header}")
            string(REGEX MATCH "^[^/]+/" top "${named}")
            string(REGEX REPLACE "/$" "" top "${top}")
            if(top)
                list(FIND layers "${top}" included)
                if(included GREATER rank)
                    list(APPEND violations "${shown}: includes ${header}, of the higher layer ${top}")
                endif()
            endif()
            if(layer IN_LIST pure_layers AND header MATCHES "^(Q|qt|q[a-z0-9_]*\\.h$)")
                list(APPEND violations "${shown}: includes ${header}, a Qt header in a pure layer")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(LENGTH violations count)
    list(JOIN violations "\n  " listed)
    list(JOIN layers " < " order)
    message(FATAL_ERROR "${count} include(s) break the layers ${order} (a file includes its own "
                        "layer and those below it):\n  ${listed}")
endif()
message(STATUS "Every include keeps to its layer")
