# How the product is built in layers. Each layer is a library whose include folder holds that
# layer alone: a folder in the build tree with one link, named like the layer, to its sources.
# A layer so sees the headers of itself and of the layers it links, and nothing else: an
# include that runs upward fails to compile (tests/layering_test.cpp states the same rule by
# file and line).

# Gives target the include folder of the layer in folder (a path below the source root).
function(swfsaver_layer_includes target scope folder)
  string(REPLACE "/" "_" slot ${folder})
  set(root ${CMAKE_BINARY_DIR}/layers/${slot})
  if(NOT EXISTS ${root}/${folder})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# In the fuzz preset, the code under test carries libFuzzer's coverage and the sanitizers, not
# only the harnesses.
function(swfsaver_fuzz_instrument target)
  get_target_property(type ${target} TYPE)
  if(SWFSAVER_FUZZ AND NOT type STREQUAL "INTERFACE_LIBRARY")
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  endif()
endfunction()

# A layer made of every .cpp in its folder (subfolders are layers of their own); header-only
# when there is none. Further arguments: the layers and libraries it links.
function(swfsaver_layer name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "app/main\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  swfsaver_layer_includes(${name} ${scope} ${folder})
  target_link_libraries(${name} ${scope} ${ARGN})
  swfsaver_fuzz_instrument(${name})
endfunction()

# A libFuzzer harness: name.cpp in the current folder, linked with the given libraries.
function(swfsaver_fuzzer name)
  add_executable(${name} ${name}.cpp)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()
