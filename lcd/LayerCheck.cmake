# The layers of lcd/, lowest first: a layer may include its own headers and those of the
# layers below it, never one above. Run with -P (LCD_DIR set) it checks every source;
# included from lcd/CMakeLists.txt it checks at configure time and defines LCD_LAYERS.

set(LCD_LAYERS base gfx images items link project edit ui app)

function(lcd_check_layer_includes dir)
  set(failed FALSE)
  list(LENGTH LCD_LAYERS count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET LCD_LAYERS ${i} layer)
    file(GLOB files ${dir}/${layer}/*.h ${dir}/${layer}/*.cpp)
    foreach(f ${files})
      file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
      foreach(line ${lines})
        string(REGEX MATCH "\"([a-z]+)/" unused "${line}")
        list(FIND LCD_LAYERS "${CMAKE_MATCH_1}" j)
        if(j GREATER i)
          message(SEND_ERROR "${f}: ${line}: layer ${layer} may not include ${CMAKE_MATCH_1}, a layer above it")
          set(failed TRUE)
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(failed AND CMAKE_SCRIPT_MODE_FILE)
    message(FATAL_ERROR "upward includes between the layers of lcd/")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  lcd_check_layer_includes(${LCD_DIR})
endif()
