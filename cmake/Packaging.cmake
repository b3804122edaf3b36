# Installation rules and the Debian package (not yet written)
