# The third-party libraries, as one interface target each (dep_simdjson,
# dep_utf8proc, dep_isal, dep_deflate and, off Apple systems, dep_spng) so
# every target names them the same way on every system.
#
# Off Apple systems they are the system's packages, linked as shared
# libraries. On a Mac the programs must start where none of them is
# installed: the loader kills a process whose libraries are missing before
# main() runs. So they are linked from their static archives, found under
# QUILLGATE_DEPENDENCY_PREFIX (Homebrew's prefix unless given), and the
# platform's own facilities stand in for the rest (CommonCrypto for SHA-256,
# ImageIO for the screenshot tool's pictures).

function(quillgate_dependency name)
  add_library(${name} INTERFACE)
  target_link_libraries(${name} INTERFACE ${ARGN})
endfunction()

if(NOT APPLE)
  find_package(simdjson REQUIRED CONFIG)
  pkg_check_modules(UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)
  pkg_check_modules(ISAL REQUIRED IMPORTED_TARGET libisal)
  pkg_check_modules(DEFLATE REQUIRED IMPORTED_TARGET libdeflate)
  pkg_check_modules(SPNG REQUIRED IMPORTED_TARGET spng)
  quillgate_dependency(dep_simdjson simdjson::simdjson)
  quillgate_dependency(dep_utf8proc PkgConfig::UTF8PROC)
  quillgate_dependency(dep_isal PkgConfig::ISAL)
  quillgate_dependency(dep_deflate PkgConfig::DEFLATE)
  quillgate_dependency(dep_spng PkgConfig::SPNG)
  return()
endif()

if(NOT QUILLGATE_DEPENDENCY_PREFIX)
  find_program(QUILLGATE_BREW brew)
  if(QUILLGATE_BREW)
    execute_process(COMMAND ${QUILLGATE_BREW} --prefix OUTPUT_VARIABLE brew_prefix OUTPUT_STRIP_TRAILING_WHITESPACE)
  else()
    set(brew_prefix /opt/homebrew)
  endif()
  set(QUILLGATE_DEPENDENCY_PREFIX "${brew_prefix}" CACHE PATH
      "Prefix holding lib/ (static archives) and include/ of simdjson, utf8proc, ISA-L and libdeflate")
endif()

# The first lib<name>.a of the names under the prefix, as an imported static
# library; the configuration fails when there is none, and says so when only
# a shared library is there.
function(quillgate_archive name)
  cmake_parse_arguments(ARG "" "" "NAMES;LINKS;DEFINES" ${ARGN})
  set(prefix "${QUILLGATE_DEPENDENCY_PREFIX}")
  foreach(candidate ${ARG_NAMES})
    set(archive "${prefix}/lib/lib${candidate}.a")
    if(EXISTS "${archive}")
      add_library(${name}_archive STATIC IMPORTED)
      set_target_properties(${name}_archive PROPERTIES
        IMPORTED_LOCATION "${archive}"
        INTERFACE_INCLUDE_DIRECTORIES "${prefix}/include"
        INTERFACE_LINK_LIBRARIES "${ARG_LINKS}"
        INTERFACE_COMPILE_DEFINITIONS "${ARG_DEFINES}")
      quillgate_dependency(${name} ${name}_archive)
      message(STATUS "${name}: ${archive}")
      return()
    endif()
  endforeach()
  list(JOIN ARG_NAMES ", " names)
  foreach(candidate ${ARG_NAMES})
    if(EXISTS "${prefix}/lib/lib${candidate}.dylib")
      message(FATAL_ERROR "${name}: only the shared library ${prefix}/lib/lib${candidate}.dylib was found. "
        "The macOS programs link it statically so that they start on a Mac without it; install a build "
        "that ships lib${candidate}.a, or set QUILLGATE_DEPENDENCY_PREFIX to a prefix that holds one.")
    endif()
  endforeach()
  message(FATAL_ERROR "${name}: no static archive (lib<name>.a for ${names}) under ${prefix}/lib; "
    "set QUILLGATE_DEPENDENCY_PREFIX to the prefix that holds it")
endfunction()

quillgate_archive(dep_simdjson NAMES simdjson DEFINES SIMDJSON_THREADS_ENABLED=1)
quillgate_archive(dep_utf8proc NAMES utf8proc)
quillgate_archive(dep_isal NAMES isal)
quillgate_archive(dep_deflate NAMES deflate)
