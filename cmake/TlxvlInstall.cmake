# What `cmake --install` puts under the prefix, and the Debian packages CPack makes of it:
#   <libdir>/libtlxvl.so.*, libbrixvl.so.*, RaidNLS.properties      component Runtime
#   <includedir>/tlxvl/<subsystem>/*.h (the public headers below)      component Development
#   <libdir>/libtlxvl.so, libbrixvl.so (link names)                    component Development
#   <libdir>/cmake/tlxvl/ (tlxvl::tlxvl, tlxvl::brixvl)                component Development
#   <libdir>/pkgconfig/tlxvl.pc                                        component Development
# The catalog sits beside libtlxvl because the monitor looks for it there.
include(CMakePackageConfigHelpers)

# The headers a host compiles against, relative to src/: the monitor classes, TLXEvent, the
# enumerations and the controller-library interface, and every header that these include
# (tests/packaging checks that the list is closed under #include). The rest stay private.
set(TLXVL_PUBLIC_HEADERS
    detect/EnumSafteStatusTLX.h
    events/EnumEventType.h
    events/EnumObjectType.h
    events/TLXEvent.h
    events/TLXEventCollection.h
    monitor/BaseRaidMonitor.h
    monitor/EnumDebugTLX.h
    monitor/VelmarMonitor.h
    nls/NLSParser.h
    port/Export.h
    port/FileOps.h
    port/FileSystem.h
    port/Interrupt.h
    port/Mutex.h
    port/ReadOnlyFile.h
    raidlib/Adapter.h
    raidlib/Addr.h
    raidlib/Addr2.h
    raidlib/BrixLib.h
    raidlib/BrixLibPlugin.h
    raidlib/Channel.h
    raidlib/Config.h
    raidlib/DynamicBufferException.h
    raidlib/Enclosure.h
    raidlib/Enums.h
    raidlib/FilterCollection.h
    raidlib/HardDrive.h
    raidlib/LogicalDrive.h
    raidlib/ModelBuilder.h
    raidlib/OmdiAdapter.h
    raidlib/PellAdapter.h
    raidlib/PellBasicLogicalDrive.h
    raidlib/PhysicalDevice.h
    raidlib/Progress.h
    raidlib/ProgressCollection.h
    raidlib/RaidEvent.h
    raidlib/RaidObject.h
    raidlib/Ret.h
    raidlib/SATAChannel.h
    raidlib/SES2EnclosureDevice.h
    raidlib/SESElement.h
    raidlib/SafteConfig.h
    raidlib/SafteStatus.h
    raidlib/Serializable.h
    raidlib/System.h
    raidlib/VelmarLib.h
    raidlib/Writer.h
    raidlib/raidlib.h
    raidlib/timestamp_struct_t.h)

set(TLXVL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tlxvl)

# On Windows the DLLs are runtime files (bin) and their import libraries archives (lib).
install(TARGETS tlxvl brixvl EXPORT tlxvlTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        COMPONENT Runtime
        NAMELINK_COMPONENT Development
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
foreach(header IN LISTS TLXVL_PUBLIC_HEADERS)
    get_filename_component(subdir ${header} DIRECTORY)
    install(FILES src/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tlxvl/${subdir}
            COMPONENT Development)
endforeach()
if(WIN32)
    install(FILES data/RaidNLS.properties DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
else()
    install(FILES data/RaidNLS.properties DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime)
endif()

install(EXPORT tlxvlTargets NAMESPACE tlxvl:: DESTINATION ${TLXVL_CMAKE_DIR}
        COMPONENT Development)
configure_package_config_file(cmake/tlxvlConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/tlxvlConfig.cmake
    INSTALL_DESTINATION ${TLXVL_CMAKE_DIR}
    PATH_VARS CMAKE_INSTALL_LIBDIR)
# 0.x releases promise nothing across minor versions.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/tlxvlConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tlxvlConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/tlxvlConfigVersion.cmake
        DESTINATION ${TLXVL_CMAKE_DIR} COMPONENT Development)

# The .pc file finds the prefix from its own place, so that a tree unpacked anywhere (dpkg -x,
# a DESTDIR staging) works as well as the installed one.
file(RELATIVE_PATH TLXVL_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" TLXVL_PC_TO_PREFIX "${TLXVL_PC_TO_PREFIX}")
configure_file(cmake/tlxvl.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tlxvl.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tlxvl.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT Development)

# Debian packages: libtlxvl0 (the libraries and the catalog) and libtlxvl-dev (headers, link
# names, CMake package, pkg-config file), made with `cpack -G DEB` in the build directory.
# Configure with -DCMAKE_INSTALL_PREFIX=/usr for the multiarch library directory.
set(CPACK_PACKAGE_NAME tlxvl)
set(CPACK_PACKAGE_VENDOR "tlxvl developers")
set(CPACK_PACKAGE_CONTACT "tlxvl developers <tlxvl@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtlxvl${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libtlxvl-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libtlxvl${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
# Each description's first line is its package's summary.
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "RAID monitor library for the Velmar controller family
libtlxvl watches Velmar RAID controllers through the controller library libbrixvl and
reports what changed as events whose texts come from its message catalog.")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "RAID monitor library for the Velmar controller family (development files)
Public headers, the CMake package (find_package(tlxvl)) and the pkg-config file (tlxvl).")
# The libraries' dependencies (libc6, libstdc++6, ...) come from dpkg-shlibdeps when it is
# there (Debian package dpkg-dev).
# libtlxvl0 carries a shlibs file, so that packages of hosts depend on it by SONAME.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
find_program(TLXVL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TLXVL_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
