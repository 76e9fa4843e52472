# Checks with a library's own include paths that its layer sees its own headers and
# those of the layers below it, and no header of a layer above it: a probe source
# includes one header of each layer and is run through the preprocessor.
#
#   cmake -DCOMPILER=c++ -DFLAGS="..." -DOPTIONS="opt|opt" -DINCLUDES="dir|dir" -DSOURCE_DIR=src
#         -DLAYERS="values|storage|core|ui|app" -DLAYER=core -DWORK=dir -P layer_check.cmake
string(REPLACE "|" ";" includes "${INCLUDES}")
string(REPLACE "|" ";" layers "${LAYERS}")
separate_arguments(flags UNIX_COMMAND "${FLAGS}")
string(REPLACE "|" ";" options "${OPTIONS}")
list(FIND layers ${LAYER} own)
if(own EQUAL -1)
  message(FATAL_ERROR "${LAYER} is not one of the layers ${LAYERS}")
endif()
set(include_flags)
foreach(dir IN LISTS includes)
  list(APPEND include_flags -I${dir})
endforeach()
file(MAKE_DIRECTORY ${WORK}/${LAYER})

set(failures 0)
set(index 0)
foreach(layer IN LISTS layers)
  # One real header of that layer, the first by name.
  file(GLOB headers RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${layer}/*.h)
  list(SORT headers)
  list(GET headers 0 header)
  set(probe ${WORK}/${LAYER}/includes_${layer}.cpp)
  file(WRITE ${probe} "#include \"${header}\"\n")
  execute_process(
    COMMAND ${COMPILER} ${flags} ${options} -std=c++20 ${include_flags} -E ${probe} -o /dev/null
    RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(index LESS_EQUAL own)
    if(NOT result EQUAL 0)
      message(SEND_ERROR "${LAYER} cannot include its own or a lower layer's ${header}:\n${errors}")
      math(EXPR failures "${failures} + 1")
    else()
      message(STATUS "${LAYER} may include ${header}: it can")
    endif()
  else()
    if(result EQUAL 0)
      message(SEND_ERROR "${LAYER} can include ${header}, of the higher layer ${layer}")
      math(EXPR failures "${failures} + 1")
    elseif(NOT errors MATCHES "${header}: No such file or directory")
      # The header was found and something in it failed, or the probe itself did.
      message(SEND_ERROR "${LAYER} reaches ${header}, of the higher layer ${layer}:\n${errors}")
      math(EXPR failures "${failures} + 1")
    else()
      message(STATUS "${LAYER} must not include ${header}: it cannot")
    endif()
  endif()
  math(EXPR index "${index} + 1")
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layer check(s) failed for ${LAYER}")
endif()
