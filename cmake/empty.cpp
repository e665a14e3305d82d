// Placeholder so a folder with no units yet still forms a library.
