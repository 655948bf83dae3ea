"""Ravilo's colours.  Nothing here may come near the purple key (128, 0, 128)."""

KEY = (128, 0, 128)          # the windows' colour key: never visible
TREE_KEY = (0, 0, 255)       # the folder-tree images' transparent colour

OUTLINE = (46, 33, 38)       # warm near-black: every silhouette edge
BODY = (247, 154, 64)        # tangerine fur
BODY_SHADE = (224, 118, 46)
BODY_LIGHT = (255, 196, 120)
BELLY = (255, 236, 200)
BELL = (244, 200, 70)        # brass alarm bells
BELL_SHADE = (206, 150, 40)
BELL_LIGHT = (255, 240, 170)
EYE_WHITE = (255, 255, 252)
PUPIL = (30, 28, 40)
CHEEK = (247, 128, 118)
MOUTH = (150, 42, 40)
TONGUE = (242, 112, 104)
HAND = (62, 52, 56)          # the clock-hand tail
TEAL = (64, 176, 170)
TEAL_DARK = (36, 120, 118)
TEAL_LIGHT = (150, 222, 212)
SKY = (120, 190, 235)
RED = (228, 72, 56)
RED_DARK = (176, 44, 36)
RED_LIGHT = (250, 140, 116)
GREEN = (106, 190, 84)
GREEN_DARK = (62, 138, 52)
GREY = (176, 172, 168)
GREY_DARK = (120, 116, 112)
GREY_LIGHT = (226, 222, 216)
WHITE = (255, 255, 255)
CREAM = (255, 246, 226)
CREAM_DARK = (240, 222, 190)
PAPER = (255, 251, 240)
INK = (46, 33, 38)
LINK_BLUE = (20, 60, 200)
YELLOW = (255, 220, 80)
