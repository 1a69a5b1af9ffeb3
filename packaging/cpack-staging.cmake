# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Zefirina developers
# Run by cpack on the staged files before it packs them: every folder gets the mode Debian
# gives folders (rwxr-xr-x). The staging folders are made with the umask of who builds the
# packages, so a umask of 027 would pack a /usr/lib/zefirina closed to every other user,
# and two builders would get two different packages.
file(CHMOD_RECURSE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}" DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
