#pragma once

// The version the title bar and the About box show.
#define TOLVAR_VERSION "0.56"
