# Assembles the release folder afresh (cmake -P, from the kit target): the headers, the Visual C++ stand-ins,
# the MinGW archives and, when given, the wizard at the root.
#   KIT_DIR, TEMPLATES, HEADER, GRAPHICS_HEADER, LIB32_DIR, LIB64_DIR, WIZARD (may be empty)
file(REMOVE_RECURSE ${KIT_DIR})

file(COPY ${HEADER} ${GRAPHICS_HEADER} DESTINATION ${KIT_DIR}/include)

# Only MSVC can build the Visual C++ libraries: each slot gets a labelled text under the real name.
configure_file(${TEMPLATES}/lib_vs-README.txt ${KIT_DIR}/lib_vs/README.txt @ONLY NEWLINE_STYLE CRLF)
foreach(slot "VC6;x86;Visual C++ 6.0" "VC2008;x86;Visual C++ 2008 to 2013" "VC2008;x64;Visual C++ 2008 to 2013"
             "VC2015;x86;Visual C++ 2015 to 2026" "VC2015;x64;Visual C++ 2015 to 2026")
  list(GET slot 0 FAMILY)
  list(GET slot 1 ARCH)
  list(GET slot 2 COMPILERS)
  foreach(file "Gravoa.lib;multibyte" "Gravow.lib;wide-character")
    list(GET file 0 NAME)
    list(GET file 1 CHARSET)
    configure_file(${TEMPLATES}/standin-lib.txt ${KIT_DIR}/lib_vs/${FAMILY}/${ARCH}/${NAME} @ONLY NEWLINE_STYLE CRLF)
  endforeach()
endforeach()

foreach(archive ${LIB32_DIR}/libgravo.a ${LIB32_DIR}/libgravow.a ${LIB64_DIR}/libgravo.a ${LIB64_DIR}/libgravow.a)
  if(NOT EXISTS ${archive})
    message(FATAL_ERROR "missing kit archive ${archive}")
  endif()
endforeach()
file(COPY ${LIB32_DIR}/libgravo.a ${LIB32_DIR}/libgravow.a DESTINATION ${KIT_DIR}/lib_mingw/lib32)
file(COPY ${LIB64_DIR}/libgravo.a ${LIB64_DIR}/libgravow.a DESTINATION ${KIT_DIR}/lib_mingw/lib64)
# The Dev-C++ 5.4.0 slot: a 32-bit multibyte archive only.
file(COPY ${LIB32_DIR}/libgravo.a DESTINATION ${KIT_DIR}/lib_mingw/lib-for-devcpp_5.4.0)

if(WIZARD)
  file(COPY_FILE ${WIZARD} ${KIT_DIR}/gravo-setup.exe)
endif()
