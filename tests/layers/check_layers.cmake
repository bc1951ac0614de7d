# Checks that the project's #include lines point down the layers:
#
#   app/                                   the program
#   windows/                               every widget
#   display/ reading/ shell/ runs/ keys/   the procedures: one layer, they
#   arrows/ scan/ loader/                  include each other freely
#   formats/                               the files, byte for byte
#   core/                                  state, displays, channel, gate
#   platform/                              runtime rules, dialog seams, timers
#
# A file may include its own folder and the folders below it. sim/ stands
# apart: it includes only itself, and only tests/ and bench/ include it.
# tools/ may include platform/ and core/. tests/ and bench/ include anything.
# Below windows/ no file includes a QtWidgets header (or QCustomPlot).
#
#   cmake -DROOT=<source tree> -DWIDGET_HEADERS=<QtWidgets include folder> -P check_layers.cmake
#
# Prints one line per violation and fails when there is any.

if(NOT ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()

set(rank_platform 0)
set(rank_core 1)
set(rank_formats 2)
foreach(folder display reading shell runs keys arrows scan loader)
    set(rank_${folder} 3)
endforeach()
set(rank_windows 4)
set(rank_app 5)
set(windows_rank 4)

# Header names of the widget module: every file of its include folder, plus
# the Qt-prefixed module header and the plot control.
set(widget_headers QtWidgets qcustomplot.h)
if(WIDGET_HEADERS AND IS_DIRECTORY "${WIDGET_HEADERS}")
    file(GLOB names RELATIVE "${WIDGET_HEADERS}" "${WIDGET_HEADERS}/*")
    list(APPEND widget_headers ${names})
else()
    list(APPEND widget_headers QWidget QApplication QMainWindow QLabel QPushButton QDialog
         QMessageBox QComboBox QCheckBox QLineEdit QTableView QMdiArea QFileDialog)
endif()

file(GLOB_RECURSE files RELATIVE "${ROOT}" "${ROOT}/*.h" "${ROOT}/*.cpp")
set(violations 0)
foreach(file ${files})
    string(REGEX MATCH "^[^/]+" folder "${file}")
    if(folder STREQUAL "tests" OR folder STREQUAL "bench" OR folder MATCHES "^build")
        continue()
    endif()
    if(NOT file MATCHES "/")
        continue()
    endif()
    file(STRINGS "${ROOT}/${file}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
        if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/[^\"]*\"")
            set(target "${CMAKE_MATCH_1}")
            set(bad "")
            if(folder STREQUAL "sim")
                if(NOT target STREQUAL "sim")
                    set(bad "sim/ includes only itself")
                endif()
            elseif(target STREQUAL "sim")
                set(bad "only tests/ and bench/ include sim/")
            elseif(folder STREQUAL "tools")
                if(NOT target MATCHES "^(tools|platform|core)$")
                    set(bad "tools/ includes only platform/ and core/")
                endif()
            elseif(DEFINED rank_${folder})
                if(NOT DEFINED rank_${target})
                    set(bad "${target}/ is no layer")
                elseif(rank_${target} GREATER rank_${folder})
                    set(bad "${target}/ is above ${folder}/")
                endif()
            else()
                set(bad "${folder}/ is no layer")
            endif()
            if(bad)
                message("${file}: ${line}: ${bad}")
                math(EXPR violations "${violations} + 1")
            endif()
        elseif(line MATCHES "#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
            set(header "${CMAKE_MATCH_1}")
            string(REGEX REPLACE "^QtWidgets/" "" name "${header}")
            set(below_windows TRUE)
            if(DEFINED rank_${folder} AND NOT rank_${folder} LESS windows_rank)
                set(below_windows FALSE)
            endif()
            if(folder MATCHES "^(tests|bench|sim|tools)$")
                set(below_windows FALSE)
            endif()
            if(below_windows)
                list(FIND widget_headers "${name}" hit)
                if(hit GREATER -1 OR header MATCHES "^QtWidgets")
                    message("${file}: ${line}: a widget header below windows/")
                    math(EXPR violations "${violations} + 1")
                endif()
            endif()
        endif()
    endforeach()
endforeach()

if(violations GREATER 0)
    message(FATAL_ERROR "${violations} include(s) point the wrong way")
endif()
message("The includes point down the layers.")
