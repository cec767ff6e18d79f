// The shared library QXT is made of the plug-in's static library linked whole; this unit only
// gives the shared library a source of its own.
