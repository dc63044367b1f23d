// Breaks the layering: its folder is in no layer of the order.
#pragma once
