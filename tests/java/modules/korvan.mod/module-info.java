module korvan.mod {}
