#pragma once
// placeholder: the folder listing for path completion
