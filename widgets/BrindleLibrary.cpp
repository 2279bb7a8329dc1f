// libBrindle.so is made of the areas registered by the sub-folders; this file
// only gives the shared library a translation unit of its own.
