# Program resources: files embedded into an executable at build time, found
# at run time with FindResourceA / LoadResource / SizeofResource /
# LockResource (and so by loadimage's resource form).
#
#   lv_add_resources(<target> TYPE <type> NAME <name> FILE <file> [TYPE ... NAME ... FILE ...])
#
# Type and name are plain words, matched without regard to case. On Linux each
# file becomes a generated source holding its bytes and registering them with
# the platform before main; on Windows the files go into a resource script.
if(WIN32)
  enable_language(RC)
endif()

function(lv_add_resources target)
  # Found beside this file whichever directory calls the function.
  set(embed_script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/embed_resource.cmake)
  set(rc "")
  list(LENGTH ARGN n)
  math(EXPR groups "${n} / 6")
  math(EXPR rest "${n} % 6")
  if(groups EQUAL 0 OR NOT rest EQUAL 0)
    message(FATAL_ERROR "lv_add_resources: give TYPE <type> NAME <name> FILE <file> for each resource")
  endif()
  math(EXPR last "${groups} - 1")
  foreach(index RANGE ${last})
    math(EXPR at "${index} * 6")
    list(SUBLIST ARGN ${at} 6 group)
    cmake_parse_arguments(R "" "TYPE;NAME;FILE" "" ${group})
    if(NOT R_TYPE OR NOT R_NAME OR NOT R_FILE)
      message(FATAL_ERROR "lv_add_resources: each resource needs TYPE, NAME and FILE")
    endif()
    get_filename_component(file ${R_FILE} ABSOLUTE)
    if(WIN32)
      string(APPEND rc "${R_NAME} ${R_TYPE} \"${file}\"\n")
    else()
      set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resource_${index}.cpp)
      add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -DTYPE=${R_TYPE} -DNAME=${R_NAME} -P ${embed_script}
        DEPENDS ${file} ${embed_script}
        COMMENT "Embedding ${R_TYPE} ${R_NAME} from ${R_FILE}" VERBATIM)
      target_sources(${target} PRIVATE ${out})
    endif()
  endforeach()
  if(WIN32)
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
    file(WRITE ${script} "${rc}")
    target_sources(${target} PRIVATE ${script})
  endif()
endfunction()
