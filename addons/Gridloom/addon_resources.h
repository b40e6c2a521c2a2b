// The add-on's own resources (its layouts and images), read from the file it was loaded from.
#pragma once

class BResources;

// Window threads. Kept once read; null while the add-on's file cannot be read as resources, so
// that a later call tries again.
BResources* AddonResources();
