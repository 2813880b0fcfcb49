// Resource, control and command identifiers shared by the .rc file and the code.
#pragma once
