# Writes the winget manifests of a release (multi-file: version, default locale, installer) with
# the SHA-256 of the built setup program and zip; run after both are built.
#   cmake -DVERSION=<x.y.z> -DBASE_URL=<url> -DSETUP=<setup.exe> -DZIP=<zip> -DOUTPUT=<folder>
#         -P winget_manifests.cmake
set(id Quorvane.Quorvane)
set(schema 1.6.0)
foreach(file "${SETUP}" "${ZIP}")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} is not built")
  endif()
endforeach()
file(SHA256 "${SETUP}" setup_sha)
file(SHA256 "${ZIP}" zip_sha)
string(TOUPPER "${setup_sha}" setup_sha)
string(TOUPPER "${zip_sha}" zip_sha)
get_filename_component(setup_name "${SETUP}" NAME)
get_filename_component(zip_name "${ZIP}" NAME)
set(url "${BASE_URL}/${VERSION}")

# Every manifest starts with the schema line for editors and the identity.
function(write_manifest name type body)
  file(WRITE "${OUTPUT}/${name}"
       "# yaml-language-server: $schema=https://aka.ms/winget-manifest.${type}.${schema}.schema.json\n"
       "PackageIdentifier: ${id}\nPackageVersion: ${VERSION}\n${body}"
       "ManifestType: ${type}\nManifestVersion: ${schema}\n")
endfunction()

file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}")

write_manifest(${id}.yaml version "DefaultLocale: en-US\n")

write_manifest(${id}.locale.en-US.yaml defaultLocale [=[
PackageLocale: en-US
Publisher: Quorvane Software
PublisherUrl: https://www.quorvane.com/
PackageName: Quorvane
PackageUrl: https://www.quorvane.com/
License: Proprietary
Copyright: Quorvane Software
ShortDescription: Lists, edits and switches off the programs Windows starts when you log on.
Description: |-
  Quorvane lists the programs Windows starts by itself at logon (registry run keys, the startup
  folders, the Load/Run/Userinit values), lets you add, modify, remove, disable and enable them,
  and journals every change. Quorvane.com does the same from scripts.
Moniker: quorvane
Tags:
- autorun
- startup
- logon
- registry
]=])

# The setup program per user (no rights needed) and for everyone (/AllUsers, it elevates itself);
# the zip as a portable program whose console half answers to "quorvane".
write_manifest(${id}.installer.yaml installer "\
MinimumOSVersion: 10.0.0.0
InstallerLocale: en-US
UpgradeBehavior: install
Installers:
- Architecture: x64
  InstallerType: nullsoft
  ProductCode: Quorvane
  Scope: user
  InstallerUrl: ${url}/${setup_name}
  InstallerSha256: ${setup_sha}
  InstallerSwitches:
    Silent: /S
    SilentWithProgress: /S
  ElevationRequirement: elevationProhibited
- Architecture: x64
  InstallerType: nullsoft
  ProductCode: Quorvane
  Scope: machine
  InstallerUrl: ${url}/${setup_name}
  InstallerSha256: ${setup_sha}
  InstallerSwitches:
    Silent: /S
    SilentWithProgress: /S
    Custom: /AllUsers
  ElevationRequirement: elevatesSelf
- Architecture: x64
  InstallerType: zip
  NestedInstallerType: portable
  NestedInstallerFiles:
  - RelativeFilePath: Quorvane\\Quorvane.com
    PortableCommandAlias: quorvane
  InstallerUrl: ${url}/${zip_name}
  InstallerSha256: ${zip_sha}
")
message(STATUS "winget manifests for ${id} ${VERSION} in ${OUTPUT}")
