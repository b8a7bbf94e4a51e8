// The pictures of the program are compiled into this library as Qt resources.
