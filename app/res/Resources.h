// The program's resources: dialog templates, string table and images, in German and English.
#pragma once

/// Registers every resource of the program with the dialog framework. Call once at start-up,
/// before the first dialog is made.
void RegisterProgramResources();
