// The eight windows of the wizard, created at start-up in their fixed order
// and destroyed when the program ends.
#pragma once

// Creates the eight windows in their fixed order (nothing is shown) and
// fills the pointers the pages reach each other through.
void CreateForms();
// Destroys them, last created first.
void DestroyForms();
