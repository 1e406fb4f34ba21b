#pragma once
// placeholder: splits a byte stream into lines at CR LF, lone CR and lone LF
