// The plug-in module. Its code is the keypose_core library; the linker's export map
// (exports.map) leaves only the host entry points visible to the host.
