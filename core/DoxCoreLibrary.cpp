// libDoxCore.so is assembled from the static areas of core/; its one export,
// CreateModule, lives with the module object.
